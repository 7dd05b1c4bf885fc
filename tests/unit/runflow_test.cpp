// The product loop: whole runs on the simulated machine, from catalogue to success message.
#include "app/globals.h"
#include "tests/unit/test_machine.h"

#include <fstream>
#include <sstream>

class RunFlowTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        AddMessageRows();
        AddResources(kNeutralDescription, "package");
    }
    // Index of the first logged call that begins with prefix, from position nFrom.
    static size_t CallIndex(const std::string& prefix, size_t nFrom = 0)
    {
        for (size_t i = nFrom; i < Sim().calls.size(); ++i)
            if (Sim().calls[i].compare(0, prefix.size(), prefix) == 0)
                return i;
        ADD_FAILURE() << "no call " << prefix;
        return Sim().calls.size();
    }
    static std::string Success(const std::string& name) { return "The " + name + " update has been successfully applied"; }
    static std::string Failure(int code, const std::string& name)
    {
        return "Error " + std::to_string(code) + ": The " + name + " update was not applied";
    }
    static std::string Patch(int n, const std::string& addLocal = "", const std::string& reinstall = "")
    {
        return "PATCH=\"C:\\Temp\\MSP" + std::to_string(n) + ".tmp\" ADDLOCAL=\"" + addLocal + "\" REINSTALL=\"" +
               reinstall + "\"" + kTitleSuffix;
    }
};

TEST_F(RunFlowTest, TheShippedConfigurationReinstallsEveryMultiNameRowOfTheFirstEdition)
{
    Sim().strings.clear();
    Sim().resources.clear();
    LoadShippedStrings();
    std::ifstream in(std::string(SPLAUNCH_SOURCE_DIR) + "/res/description-neutral.txt", std::ios::binary);
    std::stringstream description;
    description << in.rdbuf();
    AddResources(description.str());

    // The 0409 edition at 7.0.43.5 with every feature of its rows local.
    SimProduct& product = Install("{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}", "7.0.43.5");
    std::string reinstall;
    for (UINT id = 1001; id <= 1116; ++id) {
        std::string text = Sim().strings.at(id).substr(3);
        std::stringstream names(text);
        std::string name;
        while (std::getline(names, name, ','))
            product.features[name] = INSTALLSTATE_LOCAL;
        if (text.find(',') != std::string::npos)
            reinstall += text.substr(0, text.find(',')) + ",";
    }
    EXPECT_EQ(RunLauncher(), 0);

    ASSERT_EQ(ConfigureCommandLines().size(), 1u);
    EXPECT_EQ(ConfigureCommandLines()[0],
              "PATCH=\"C:\\Temp\\MSP1.tmp\" ADDLOCAL=\"\" REINSTALL=\"" + reinstall +
                  "\" PATCHTITLE=\"Kelvarin 2004 (Tessaran Corvane Suite 2004) Service Pack 1\" "
                  "PATCHGUID=\"{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}\"");
    EXPECT_EQ(reinstall.substr(0, 38), "HM_CORECOMMON_0001,HM_CORECOMMON_0002,");
    EXPECT_TRUE(SimCallsStartingWith("MsiSetInternalUI").empty());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Success("Kelvarin 2004")}));
    EXPECT_EQ(Sim().messageBoxes[0].caption, "Kelvarin 2004");
    EXPECT_EQ(Sim().threadLocale, 1033u);
    EXPECT_EQ(Sim().pendingDeletes, (std::vector<std::string>{"C:\\Temp\\MSP1.tmp"}));
    // All 21 configured editions were asked about.
    EXPECT_EQ(SimCallsStartingWith("MsiQueryProductStateA").size(), 21u);
}

TEST_F(RunFlowTest, ATurnRunsItsStepsInOrder)
{
    AddProductRows(0, ProductCode(0));
    SimSetString(1001, "U1:A,P");
    Install(ProductCode(0), "7.0.43.5", {"A", "P"});
    EXPECT_EQ(RunLauncher(), 0);
    const size_t nTemp = CallIndex("GetTempPathA");
    const size_t nNetwork = CallIndex("RegOpenKeyExA(HKLM\\Software\\Host\\P0,0x20019)", nTemp);
    const size_t nFeatures = CallIndex("MsiQueryFeatureStateA", nNetwork);
    const size_t nLocale = CallIndex("SetThreadLocale(1033)", nFeatures);
    const size_t nService = CallIndex("RegDeleteKeyA(HKLM\\Software\\Tessaran\\Kestrune\\" + ProductCode(0) + ")", nLocale);
    const size_t nProfiles = CallIndex("RegOpenKeyExA(HKCU\\Software\\Host\\P0\\Profiles,0x20019)", nService);
    const size_t nPatch = CallIndex("MsiConfigureProductExA", nProfiles);
    (void)CallIndex("MoveFileExA(\"C:\\Temp\\MSP1.tmp\",NULL,4)", nPatch);
    EXPECT_EQ(Sim().configureCalls[0].installLevel, 0);
    EXPECT_EQ(Sim().configureCalls[0].installState, 5);
    EXPECT_EQ(ConfigureCommandLines(), (std::vector<std::string>{Patch(1, "", "A,")}));
}

TEST_F(RunFlowTest, ChangedFeaturesAreRemovedInSnapshotOrderAndTheInterfaceStaysOff)
{
    AddProductRows(0, ProductCode(0));
    AddProductRows(1, ProductCode(1));
    SimSetString(1001, "U1:K");
    SimSetString(1002, "U1:M");
    SimSetString(1003, "U1:N");
    Install(ProductCode(0), "7.0.43.5", {"K", "M", "N"}, INSTALLSTATE_ABSENT);
    Install(ProductCode(1), "7.0.43.5", {"K", "M", "N"}, INSTALLSTATE_ABSENT);
    // The patch makes K and M local for the first product only.
    Sim().onConfigure = [](const SimConfigureCall& call) {
        if (call.product == ProductCode(0) && call.commandLine.compare(0, 6, "PATCH=") == 0) {
            Sim().products[ProductCode(0)].features["K"] = INSTALLSTATE_LOCAL;
            Sim().products[ProductCode(0)].features["M"] = INSTALLSTATE_LOCAL;
        }
    };
    EXPECT_EQ(RunLauncher(), 0);
    ASSERT_EQ(Sim().configureCalls.size(), 3u);
    EXPECT_EQ(Sim().configureCalls[0].uiLevel, 1);
    EXPECT_EQ(Sim().configureCalls[1].commandLine, "REMOVE=\"K,M\"");
    EXPECT_EQ(Sim().configureCalls[1].uiLevel, 2);
    EXPECT_EQ(Sim().configureCalls[2].product, ProductCode(1));
    EXPECT_EQ(Sim().configureCalls[2].uiLevel, 2);
    EXPECT_EQ(SimCallsStartingWith("MsiSetInternalUI"), (std::vector<std::string>{"MsiSetInternalUI(2,NULL)"}));
    EXPECT_EQ(Sim().products[ProductCode(0)].features["K"], INSTALLSTATE_ABSENT);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Success("Product 0"), Success("Product 1")}));
}

TEST_F(RunFlowTest, InstallerResultsDecideTheMessagesAndTheExitCode)
{
    const struct {
        UINT result;
        std::vector<std::string> messages;
        int exitCode;
    } cases[] = {
        {0, {Success("Product 0")}, 0},
        {1641, {Success("Product 0")}, 1641},
        {3010, {Success("Product 0")}, 3010},
        {1602, {}, 1602},
        {1603, {Failure(1603, "Product 0")}, 1603},
    };
    for (const auto& c : cases) {
        SetUp();
        AddProductRows(0, ProductCode(0));
        Install(ProductCode(0), "7.0.43.5");
        Sim().configureResults = {c.result};
        EXPECT_EQ(RunLauncher(), c.exitCode) << c.result;
        EXPECT_EQ(MessageTexts(), c.messages) << c.result;
        // Restoration and the restart request follow whatever the result.
        EXPECT_EQ(Sim().pendingDeletes.size(), 1u) << c.result;
    }
}

TEST_F(RunFlowTest, HostSettingsAreRemovedBeforeAPatchCallThatThenFails)
{
    AddProductRows(0, ProductCode(0));
    Install(ProductCode(0), "7.0.43.5");
    const std::string service = "HKLM\\Software\\Tessaran\\Kestrune\\" + ProductCode(0);
    const std::string profiles = "HKCU\\Software\\Host\\P0\\Profiles";
    SimCreateKey(service);
    SimSetString(profiles, "", "Drafting");
    SimSetDword(profiles + "\\Drafting\\General Configuration", "Today_WorkMode", 1);
    SimSetDword(profiles + "\\<<Unnamed Profile>>\\General Configuration", "Today_WorkMode", 1);
    bool bRemovedFirst = false;
    Sim().onConfigure = [&](const SimConfigureCall&) {
        bRemovedFirst = !SimKeyExists(service) &&
                        !SimValueExists(profiles + "\\Drafting\\General Configuration", "Today_WorkMode") &&
                        !SimValueExists(profiles + "\\<<Unnamed Profile>>\\General Configuration", "Today_WorkMode");
    };
    Sim().configureResults = {1603};
    EXPECT_EQ(RunLauncher(), 1603);
    EXPECT_TRUE(bRemovedFirst);
}

TEST_F(RunFlowTest, OneFailureSilencesLaterSuccessesButARejectionDoesNot)
{
    for (int i = 0; i < 4; ++i) {
        AddProductRows(i, ProductCode(i), i == 0 ? "1.0.0.0," : "7.0.43.5,");
        Install(ProductCode(i), "7.0.43.5");
    }
    Sim().configureResults = {0, 1603, 0};
    EXPECT_EQ(RunLauncher(), 308);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Incorrect product version installed", Success("Product 1"),
                                                        Failure(1603, "Product 2")}));
    EXPECT_EQ(Sim().configureCalls.size(), 3u);
    EXPECT_EQ(Sim().messageBoxes[0].caption, "Product 0");
    // The rejected product got no package and no installer or registry call of its turn.
    EXPECT_EQ(ConfigureCommandLines()[0], Patch(1));
    EXPECT_TRUE(SimCallsStartingWith("RegDeleteKeyA(HKLM\\Software\\Tessaran\\Kestrune\\" + ProductCode(0)).empty());
}

TEST_F(RunFlowTest, AnExtractionFailureEndsTheLoopAndLeavesLaterProductsUntouched)
{
    for (int i = 0; i < 3; ++i) {
        AddProductRows(i, ProductCode(i));
        Install(ProductCode(i), "7.0.43.5");
    }
    Sim().failOpen.insert("C:\\Temp\\MSP2.tmp");
    EXPECT_EQ(RunLauncher(), 107);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Success("Product 0"), Failure(107, "Product 1")}));
    EXPECT_EQ(ConfigureCommandLines(), (std::vector<std::string>{Patch(1)}));
    EXPECT_EQ(SimCallsStartingWith("RegDeleteKeyA").size(), 1u);
    EXPECT_EQ(Sim().pendingDeletes, (std::vector<std::string>{"C:\\Temp\\MSP1.tmp"}));
}

TEST_F(RunFlowTest, NoInstalledProductShowsOneMessageCaptionedWithTheFirstName)
{
    AddProductRows(0, ProductCode(0));
    AddProductRows(1, ProductCode(1));
    EXPECT_EQ(RunLauncher({"/Q"}), 307);
    EXPECT_TRUE(Sim().messageBoxes.empty());
    EXPECT_EQ(RunLauncher(), 307);
    ASSERT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_EQ(Sim().messageBoxes[0].text, "Product is not installed");
    EXPECT_EQ(Sim().messageBoxes[0].caption, "Product 0");
    EXPECT_TRUE(Sim().configureCalls.empty());
}

TEST_F(RunFlowTest, ExhaustedMemoryDuringATurnEndsTheRunSilentlyAndEarlierWorkStands)
{
    for (int i = 0; i < 2; ++i) {
        AddProductRows(i, ProductCode(i));
        Install(ProductCode(i), "7.0.43.5", {"A"}, INSTALLSTATE_ABSENT);
    }
    SimSetString(1001, "U1:A");
    Sim().onConfigure = [](const SimConfigureCall& call) {
        if (call.product == ProductCode(1)) {
            Sim().allocationsBeforeFailure = 0;
            Sim().failingAllocations = 1000000;
        }
    };
    EXPECT_EQ(RunLauncher(), 0);
    Sim().allocationsBeforeFailure = -1;
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Success("Product 0")}));
    EXPECT_EQ(Sim().configureCalls.size(), 2u);
    EXPECT_EQ(Sim().pendingDeletes.size(), 1u);
}
