// Feature selection: the ADDLOCAL and REINSTALL lists and the recorded prior states.
#include "framework/exceptions.h"
#include "installer/features.h"
#include "tests/unit/test_machine.h"

using Names = std::vector<std::string>;

class FeaturesTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        m_record.m_strTag = "U1";
        m_record.m_strProductCode = ProductCode(0x409).c_str();
        m_pProduct = &Install(ProductCode(0x409), "7.0.43.5");
    }
    void States(std::initializer_list<std::pair<const char*, INSTALLSTATE>> states)
    {
        for (const auto& s : states)
            m_pProduct->features[s.first] = s.second;
    }
    void Select()
    {
        SelectFeatures(m_record, m_strAddLocal, m_strReinstall, &m_snapshot);
    }
    std::vector<std::string> Entries() const { return EntriesOf(m_snapshot); }
    static std::vector<std::string> EntriesOf(const CFeatureSnapshot& snapshot)
    {
        std::vector<std::string> entries;
        const CStringList& list = snapshot.GetEntries();
        for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
            entries.push_back(static_cast<const char*>(list.GetNext(pos)));
        return entries;
    }
    CProductRecord m_record;
    SimProduct* m_pProduct = nullptr;
    CString m_strAddLocal;
    CString m_strReinstall;
    CFeatureSnapshot m_snapshot;
};

TEST_F(FeaturesTest, CoreCommonRowInEachStateCombination)
{
    const struct {
        INSTALLSTATE own, group, top;
        const char* reinstall;
        Names entries;
    } cases[] = {
        {3, 3, 3, "HM_CORECOMMON_0006,", {}},
        {3, 2, 3, "", {"HM_CORECOMMON_0006,2", "CORECOMMON,2"}},
        {-1, 3, 3, "HM_CORECOMMON_0006,", {}},
        {-1, -1, 3, "", {}},
        {3, 3, 1, "", {"HM_CORECOMMON_0006,1", "P,1", "CORECOMMON,1"}},
    };
    SimSetString(1001, "U1:HM_CORECOMMON_0006,CORECOMMON,P");
    for (const auto& c : cases) {
        States({{"HM_CORECOMMON_0006", c.own}, {"CORECOMMON", c.group}, {"P", c.top}});
        CString strAddLocal;
        CString strReinstall;
        CFeatureSnapshot snapshot;
        SelectFeatures(m_record, strAddLocal, strReinstall, &snapshot);
        EXPECT_STREQ(strReinstall, c.reinstall) << c.own << c.group << c.top;
        EXPECT_STREQ(strAddLocal, "");
        EXPECT_EQ(EntriesOf(snapshot), c.entries) << c.own << c.group << c.top;
    }
}

TEST_F(FeaturesTest, RecordsNamesUpToTheOneFoundWithItsStateNewestAfterTheHead)
{
    SimSetString(1001, "U1:K");
    SimSetString(1002, "U1:M");
    SimSetString(1003, "U1:N");
    SimSetString(1004, "U1:A,B,C,D");
    States({{"K", 2}, {"M", 4}, {"N", 1}, {"A", 3}, {"B", 3}, {"C", 4}, {"D", 3}});
    Select();
    EXPECT_EQ(Entries(), (Names{"K,2", "C,4", "B,4", "A,4", "N,1", "M,4"}));
    EXPECT_STREQ(m_strReinstall, "");
    // Single-name rows never reinstall; every name of every row was asked once.
    EXPECT_EQ(SimCallsStartingWith("MsiQueryFeatureStateA").size(), 7u);
}

TEST_F(FeaturesTest, RowsOfOtherTagsAndRowsAfterAGapAreNeverAskedAbout)
{
    SimSetString(1001, "U2:X,P");
    SimSetString(1002, "X,P");
    SimSetString(1003, "u1:X,P");
    SimSetString(1004, "U1:Y,P");
    SimSetString(1006, "U1:Z,P");
    States({{"X", 3}, {"Y", 3}, {"Z", 3}, {"P", 3}});
    Select();
    EXPECT_STREQ(m_strReinstall, "Y,");
    EXPECT_EQ(SimCallsStartingWith("MsiQueryFeatureStateA"),
              (Names{"MsiQueryFeatureStateA(\"" + ProductCode(0x409) + "\",\"Y\")",
                       "MsiQueryFeatureStateA(\"" + ProductCode(0x409) + "\",\"P\")"}));
}

TEST_F(FeaturesTest, FirstBandAddsUnknownRowsLocallyAndComesBeforeTheSecond)
{
    SimSetString(10001, "U1:NEW_FEATURE,NEW_GROUP,P");
    SimSetString(10002, "U1:OLD_FEATURE,CORE,P");
    SimSetString(10003, "U1:SINGLE");
    SimSetString(1001, "U1:OLD_FEATURE,CORE,P");
    SimSetString(1002, "U1:NEW_FEATURE,CORE,P");
    States({{"OLD_FEATURE", 3}, {"CORE", 3}, {"P", 3}});
    Select();
    EXPECT_STREQ(m_strAddLocal, "NEW_FEATURE,SINGLE,");
    // The same name may be listed twice, and a first name need not be defined.
    EXPECT_STREQ(m_strReinstall, "OLD_FEATURE,OLD_FEATURE,NEW_FEATURE,");
}

TEST_F(FeaturesTest, OnANetworkInstallationFirstBandSystemFileRowsAddNothingButStillRecord)
{
    SimSetString(10001, "U1:HM_SYSTEM_0002,System_Files,P");
    SimSetString(10002, "U1:HM_CORE_0002,CORE,P");
    SimSetString(1001, "U1:HM_SYSTEM_0003,System_Files,P");
    States({{"HM_SYSTEM_0002", 2}, {"System_Files", 3}, {"P", 3}, {"HM_CORE_0002", 3}, {"CORE", 3},
            {"HM_SYSTEM_0003", 3}});
    m_record.m_bNetworkInstall = TRUE;
    Select();
    EXPECT_STREQ(m_strAddLocal, "");
    EXPECT_STREQ(m_strReinstall, "HM_CORE_0002,HM_SYSTEM_0003,");
    EXPECT_EQ(Entries(), (Names{"HM_SYSTEM_0002,2"}));
}

TEST_F(FeaturesTest, WithoutANetworkInstallationSystemFileRowsAreSelectedAsUsual)
{
    SimSetString(10001, "U1:HM_SYSTEM_0002,System_Files,P");
    States({{"HM_SYSTEM_0002", 2}, {"System_Files", 3}, {"P", 3}});
    Select();
    EXPECT_STREQ(m_strReinstall, "HM_SYSTEM_0002,");
}

TEST_F(FeaturesTest, SecondBandSkipsAFirstNameAlreadyRecordedByAnEarlierRow)
{
    SimSetString(1001, "U1:SHARED,GROUP_A,P");
    SimSetString(1002, "U1:SHARED,GROUP_B,P");
    States({{"SHARED", 3}, {"GROUP_A", 2}, {"GROUP_B", 3}, {"P", 3}});
    Select();
    EXPECT_EQ(Entries(), (Names{"SHARED,2", "GROUP_A,2"}));
    EXPECT_STREQ(m_strReinstall, "");
}

TEST_F(FeaturesTest, SplittingKeepsEmptyNames)
{
    EXPECT_FALSE(CollectFeatures(ProductCode(0x409).c_str(), "", &m_snapshot));
    States({{"A", 3}});
    EXPECT_TRUE(CollectFeatures(ProductCode(0x409).c_str(), "A,", &m_snapshot));
    EXPECT_EQ(SimCallsStartingWith("MsiQueryFeatureStateA").back(),
              "MsiQueryFeatureStateA(\"" + ProductCode(0x409) + "\",\"\")");
}

TEST_F(FeaturesTest, TheIndexAnswersAsTheListWalkDoesEvenAfterAFailedInsert)
{
    for (int i = 0; i < 50; ++i)
        m_snapshot.Record(("F" + std::to_string(i)).c_str(), 2);
    const CString strLate("LATE");
    Sim().allocationsBeforeFailure = 2;  // the entry and its list node, then the index fails
    try {
        m_snapshot.Record(strLate, 1);
    } catch (CException* e) {
        e->Delete();
    }
    EXPECT_FALSE(IsNotRecorded("LATE", &m_snapshot));
    EXPECT_FALSE(IsNotRecorded("F0", &m_snapshot));
    EXPECT_TRUE(IsNotRecorded("F50", &m_snapshot));
    EXPECT_TRUE(IsNotRecorded("f0", &m_snapshot));
}

TEST_F(FeaturesTest, ExhaustedMemoryEndsTheStepButNotTheProductsTurn)
{
    States({{"A", 2}, {"B", 3}, {"P", 3}});
    const CString strCode(ProductCode(0x409).c_str());
    const CString strText("A,B,P");
    const CString strName("B");
    m_snapshot.Record("A", 2);
    Sim().allocationsBeforeFailure = 0;
    Sim().failingAllocations = 1000;
    EXPECT_FALSE(CollectFeatures(strCode, strText, &m_snapshot));
    RecordFeatureStates(strName, strText, 1, &m_snapshot);
    EXPECT_EQ(Entries(), (Names{"A,2"}));
    Sim().allocationsBeforeFailure = -1;
}
