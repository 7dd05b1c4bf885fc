// Feature selection: the ADDLOCAL and REINSTALL lists and the recorded prior states.
#include "installer/features.h"
#include "tests/unit/test_machine.h"

#include <map>

using Names = std::vector<std::string>;

using FeaturesTest = MachineTest;

static Names Entries(const CFeatureSnapshot& snapshot)
{
    Names entries;
    for (POSITION pos = snapshot.GetEntries().GetHeadPosition(); pos != NULL;)
        entries.push_back(static_cast<const char*>(snapshot.GetEntries().GetNext(pos)));
    return entries;
}

TEST_F(FeaturesTest, RowsStatesAndTheNetworkFlagGiveTheListsAndTheSnapshot)
{
    const struct {
        const char* pszName;
        Names first, second;  // rows of the first and the second band; "" is a gap
        std::map<std::string, INSTALLSTATE> states;
        BOOL bNetwork;
        const char *pszAddLocal, *pszReinstall;
        Names entries;
        Names queried;  // when given: the names asked for, in order
    } cases[] = {
        // clang-format off
        {"all local", {}, {"U1:HM_CC_6,CC,P"}, {{"HM_CC_6", 3}, {"CC", 3}, {"P", 3}}, 0, "", "HM_CC_6,", {}, {}},
        {"own undefined", {}, {"U1:HM_CC_6,CC,P"}, {{"CC", 3}, {"P", 3}}, 0, "", "HM_CC_6,", {}, {}},
        {"only the top", {}, {"U1:HM_CC_6,CC,P"}, {{"P", 3}}, 0, "", "", {}, {}},
        {"top advertised", {}, {"U1:HM_CC_6,CC,P"}, {{"HM_CC_6", 3}, {"CC", 3}, {"P", 1}}, 0, "", "",
         {"HM_CC_6,1", "P,1", "CC,1"}, {}},
        {"names up to the one found, newest after the head", {}, {"U1:K", "U1:M", "U1:N", "U1:A,B,C,D"},
         {{"K", 2}, {"M", 4}, {"N", 1}, {"A", 3}, {"B", 3}, {"C", 4}, {"D", 3}}, 0, "", "",
         {"K,2", "C,4", "B,4", "A,4", "N,1", "M,4"}, {"K", "M", "N", "A", "B", "C", "D"}},
        {"other tags and rows after a gap are never asked about", {}, {"U2:X,P", "X,P", "u1:X,P", "U1:Y,P", "", "U1:Z,P"},
         {{"X", 3}, {"Y", 3}, {"Z", 3}, {"P", 3}}, 0, "", "Y,", {}, {"Y", "P"}},
        {"names match byte for byte", {}, {"U1:b,P"}, {{"B", 3}, {"P", 3}}, 0, "", "", {}, {}},
        {"first band adds unknown rows locally, before the second band",
         {"U1:NEW,NEW_GROUP,P", "U1:OLD,CORE,P", "U1:SINGLE"}, {"U1:OLD,CORE,P", "U1:NEW,CORE,P"},
         {{"OLD", 3}, {"CORE", 3}, {"P", 3}}, 0, "NEW,SINGLE,", "OLD,OLD,NEW,", {}, {}},
        {"network: first-band system file rows add nothing but record",
         {"U1:HM_SYS_2,System_Files,P", "U1:HM_CORE_2,CORE,P"}, {"U1:HM_SYS_3,System_Files,P"},
         {{"HM_SYS_2", 2}, {"System_Files", 3}, {"P", 3}, {"HM_CORE_2", 3}, {"CORE", 3}, {"HM_SYS_3", 3}}, 1, "",
         "HM_CORE_2,HM_SYS_3,", {"HM_SYS_2,2"}, {}},
        {"no network: the same rows as usual", {"U1:HM_SYS_2,System_Files,P", "U1:HM_CORE_2,CORE,P"},
         {"U1:HM_SYS_3,System_Files,P"},
         {{"HM_SYS_2", 2}, {"System_Files", 3}, {"P", 3}, {"HM_CORE_2", 3}, {"CORE", 3}, {"HM_SYS_3", 3}}, 0, "",
         "HM_SYS_2,HM_CORE_2,HM_SYS_3,", {"HM_SYS_2,2"}, {}},
        {"second band skips a first name already recorded", {}, {"U1:SHARED,GROUP_A,P", "U1:SHARED,GROUP_B,P"},
         {{"SHARED", 3}, {"GROUP_A", 2}, {"GROUP_B", 3}, {"P", 3}}, 0, "", "", {"SHARED,2", "GROUP_A,2"}, {}},
        {"a first-band name run from source is defined", {"U1:SRC,P"}, {}, {{"SRC", 4}, {"P", 3}}, 0, "", "SRC,",
         {"SRC,4"}, {}},
        {"empty names are asked about too", {}, {"U1:A,", "U1:"}, {{"A", 3}}, 0, "", "A,", {}, {"A", "", ""}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SimReset();
        for (size_t i = 0; i < c.first.size(); ++i)
            SimSetString(IDS_FEATURES_FIRST_BAND + static_cast<UINT>(i), c.first[i]);
        for (size_t i = 0; i < c.second.size(); ++i)
            SimSetString(IDS_FEATURES_SECOND_BAND + static_cast<UINT>(i), c.second[i]);
        SimProduct& product = Install(ProductCode(0), "7.0.43.5");
        product.features.insert(c.states.begin(), c.states.end());
        CProductRecord record;
        record.m_strTag = "U1";
        record.m_strProductCode = ProductCode(0).c_str();
        record.m_bNetworkInstall = c.bNetwork;
        CString strAddLocal;
        CString strReinstall;
        CFeatureSnapshot snapshot;
        SelectFeatures(record, strAddLocal, strReinstall, &snapshot);
        EXPECT_STREQ(strAddLocal, c.pszAddLocal) << c.pszName;
        EXPECT_STREQ(strReinstall, c.pszReinstall) << c.pszName;
        EXPECT_EQ(Entries(snapshot), c.entries) << c.pszName;
        Names queried;
        for (const std::string& call : SimCallsStartingWith("MsiQueryFeatureStateA"))
            queried.push_back(call.substr(call.rfind(",\"") + 2, call.size() - call.rfind(",\"") - 4));
        EXPECT_TRUE(c.queried.empty() || queried == c.queried) << c.pszName;
    }
}

TEST_F(FeaturesTest, TheIndexAnswersAsTheListWalkDoesEvenAfterAFailedInsert)
{
    CFeatureSnapshot snapshot;
    for (int i = 0; i < 50; ++i)
        snapshot.Record(("F" + std::to_string(i)).c_str(), 2);
    const CString strLate("LATE");
    Sim().allocationsBeforeFailure = 2;  // the entry and its list node, then the index fails
    EXPECT_TRUE(Raises<CMemoryException>([&] { snapshot.Record(strLate, 1); }));
    EXPECT_FALSE(IsNotRecorded("LATE", &snapshot));
    EXPECT_FALSE(IsNotRecorded("F0", &snapshot));
    EXPECT_TRUE(IsNotRecorded("F50", &snapshot));
    EXPECT_TRUE(IsNotRecorded("f0", &snapshot));
}

TEST_F(FeaturesTest, ExhaustedMemoryEndsTheStepButNotTheProductsTurn)
{
    Install(ProductCode(0), "7.0.43.5", {"A"}, INSTALLSTATE_ABSENT);
    const CString strCode(ProductCode(0).c_str());
    const CString strText("A,B,P");
    const CString strName("B");
    CFeatureSnapshot snapshot;
    snapshot.Record("A", 2);
    Sim().allocationsBeforeFailure = 0;
    Sim().failingAllocations = 1000;
    EXPECT_FALSE(CollectFeatures(strCode, strText, &snapshot));
    RecordFeatureStates(strName, strText, 1, &snapshot);
    EXPECT_EQ(Entries(snapshot), (Names{"A,2"}));
    Sim().allocationsBeforeFailure = -1;
}
