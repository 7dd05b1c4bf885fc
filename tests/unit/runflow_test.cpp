// The product loop: whole runs on the simulated machine, from catalogue to success message.
#include "app/globals.h"
#include "tests/unit/test_machine.h"

class RunFlowTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        AddResources(kNeutralDescription, "package");
    }
    // Index of the first logged call that begins with prefix.
    static size_t CallIndex(const std::string& prefix)
    {
        size_t i = 0;
        while (i < Sim().calls.size() && Sim().calls[i].rfind(prefix, 0) != 0)
            ++i;
        return i;
    }
    static std::string Success(std::string name) { return "The " + name + " update has been successfully applied"; }
    // The paths of the packages the run held open, in order.
    static std::vector<std::string> HeldPackages()
    {
        std::vector<std::string> paths;
        for (const std::string& call : SimCallsStartingWith("CreateFileA(\""))
            paths.push_back(call.substr(13, call.find('"', 13) - 13));
        return paths;
    }
    // The patch command line of the run's n-th package (from 1).
    static std::string Patch(size_t n, const std::string& addLocal = "", const std::string& reinstall = "")
    {
        const std::vector<std::string> paths = HeldPackages();
        return "PATCH=\"" + (n <= paths.size() ? paths[n - 1] : "?") + "\" ADDLOCAL=\"" + addLocal + "\" REINSTALL=\"" +
               reinstall + "\"" + kTitleSuffix;
    }
};

TEST_F(RunFlowTest, ATurnRunsItsStepsInOrderWithThePackagePrivateAndHeldUntilItIsOver)
{
    AddProductRows(0, ProductCode(0));
    SimSetString(IDS_FEATURES_SECOND_BAND, "U1:A,P");
    Install(ProductCode(0), "7.0.43.5", {"A", "P"});
    const std::string service = "HKLM\\Software\\Tessaran\\Kestrune\\" + ProductCode(0);
    const std::string workMode = "HKCU\\Software\\Host\\P0\\Profiles\\Drafting\\General Configuration";
    SimCreateKey(service);
    SimSetString("HKCU\\Software\\Host\\P0\\Profiles", "", "Drafting");
    SimSetDword(workMode, "Today_WorkMode", 1);
    // While the installer runs: the host settings are gone, the locale is the product's, and no one can write,
    // delete or replace the package.
    bool bReady = false;
    bool bHeld = false;
    Sim().onConfigure = [&](const SimConfigureCall&) {
        bReady = !SimKeyExists(service) && !SimValueExists(workMode, "Today_WorkMode") && Sim().threadLocale == 1033;
        const std::string package = HeldPackages().at(0);
        bHeld = SimFopen(package.c_str(), "wb") == NULL && !DeleteFileA(package.c_str()) &&
                !MoveFileA(package.c_str(), "C:\\swapped.tmp");
    };
    Sim().configureResults = {1603};
    EXPECT_EQ(RunLauncher(), 1603);
    EXPECT_TRUE(bReady);
    EXPECT_TRUE(bHeld);
    // A new folder that only administrators and the system can change, the package in it, both deleted at restart.
    const std::string protectedFolder = "D:PAI(A;;FA;;;BA)(A;OICIIO;GA;;;BA)(A;;FA;;;SY)(A;OICIIO;GA;;;SY)";
    EXPECT_EQ(SimCallsStartingWith("ConvertString"),
              std::vector<std::string>{"ConvertStringSecurityDescriptorToSecurityDescriptorA(\"" + protectedFolder +
                                       "\",1)"});
    const std::vector<std::string> folders = SimCallsStartingWith("CreateDirectoryA(\"C:\\windows\\Temp\\SPL");
    ASSERT_EQ(folders.size(), 1u);
    const std::string folder = folders[0].substr(18, folders[0].find('"', 18) - 18);
    EXPECT_EQ(folders[0], "CreateDirectoryA(\"" + folder + "\"," + protectedFolder + ")");
    const std::string package = HeldPackages().at(0);
    EXPECT_EQ(package.substr(0, folder.size() + 4), folder + "\\MSP");
    EXPECT_EQ(SimCallsStartingWith("CreateFileA"),
              std::vector<std::string>{"CreateFileA(\"" + package + "\",0x80000000,1,3)"});
    EXPECT_EQ(Sim().pendingDeletes, (std::vector<std::string>{package, folder}));
    // The network flag is read before the selection that depends on it; the package is let go before its deletion.
    EXPECT_LT(CallIndex("RegOpenKeyExA(HKLM\\Software\\Host\\P0,"), CallIndex("MsiQueryFeatureStateA"));
    EXPECT_LT(CallIndex("CloseHandle"), CallIndex("MoveFileExA"));
    std::string content;
    EXPECT_TRUE(SimReadFile(package, content) && content == "package");
    EXPECT_EQ(Sim().configureCalls[0].installLevel, 0);
    EXPECT_EQ(Sim().configureCalls[0].installState, 5);
    EXPECT_EQ(ConfigureCommandLines(), (std::vector<std::string>{Patch(1, "", "A,")}));
}

TEST_F(RunFlowTest, WithoutAPrivateFolderThePackageGoesToTheTemporaryFolderStillHeld)
{
    const struct {
        const char* pszName;
        DWORD dwPlatformId, dwMinor;
        bool bNoSecurityFunctions, bDenied;
    } cases[] = {{"not an administrator", 2, 1, false, true},
                 {"no security functions", 2, 1, true, false},
                 {"Windows 98", 1, 10, false, false}};
    for (const auto& c : cases) {
        SetUp();
        AddProductRows(0, ProductCode(0));
        Install(ProductCode(0), "7.0.43.5");
        Sim().platformId = c.dwPlatformId;
        Sim().minorVersion = c.dwMinor;
        Sim().bNoSecurityFunctions = c.bNoSecurityFunctions;
        Sim().bCreateDirectoryDenied = c.bDenied;
        EXPECT_EQ(RunLauncher(), 0) << c.pszName;
        EXPECT_EQ(HeldPackages(), std::vector<std::string>{"C:\\Temp\\MSP1.tmp"}) << c.pszName;
        EXPECT_EQ(Sim().pendingDeletes.size(), c.dwPlatformId == 2 ? 1u : 0u) << c.pszName;
    }
}

TEST_F(RunFlowTest, ChangedFeaturesAreRemovedInSnapshotOrderAndTheInterfaceStaysOff)
{
    AddProductRows(0, ProductCode(0));
    AddProductRows(1, ProductCode(1));
    SimSetString(IDS_FEATURES_SECOND_BAND, "U1:K");
    SimSetString(IDS_FEATURES_SECOND_BAND + 1, "U1:M");
    SimSetString(IDS_FEATURES_SECOND_BAND + 2, "U1:N");
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
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Success("Product 0"), Success("Product 1")}));
}

TEST_F(RunFlowTest, ResultsFailuresAndRejectionsDecideTheMessagesAndTheExitCode)
{
    using Texts = std::vector<std::string>;
    const struct {
        const char* pszName;
        std::vector<std::string> accepted;  // one product each; "" is not installed
        std::deque<UINT> results;
        const char* pszFailOpen;
        int nExitCode;
        Texts messages;
        size_t nPatches;
    } cases[] = {
        // clang-format off
        {"success", {"7.0.43.5,"}, {0}, "", 0, {Success("Product 0")}, 1},
        {"restart started", {"7.0.43.5,"}, {1641}, "", 1641, {Success("Product 0")}, 1},
        {"restart needed", {"7.0.43.5,"}, {3010}, "", 3010, {Success("Product 0")}, 1},
        {"cancelled", {"7.0.43.5,"}, {1602}, "", 1602, {}, 1},
        {"failed", {"7.0.43.5,"}, {1603}, "", 1603, {Failure(1603, "Product 0")}, 1},
        {"a result that is a row id is a failure too", {"7.0.43.5,", "7.0.43.5,"}, {IDS_SUCCESS, 0}, "", IDS_SUCCESS,
         {Success("Product 0")}, 2},
        {"one failure silences later successes, a rejection does not",
         {"1.0.0.0,", "7.0.43.5,", "7.0.43.5,", "7.0.43.5,"}, {0, 1603, 0}, "", IDS_WRONG_VERSION,
         {"Incorrect product version installed", Success("Product 1"), Failure(1603, "Product 2")}, 3},
        {"an extraction failure ends the loop", {"7.0.43.5,", "7.0.43.5,", "7.0.43.5,"}, {}, "C:\\Temp\\MSP2.tmp",
         107, {Success("Product 0"), Failure(107, "Product 1")}, 1},
        {"nothing installed: one message captioned with the first name", {"", ""}, {}, "", IDS_NOT_INSTALLED,
         {"Product is not installed"}, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        SetUp();
        for (int i = 0; i < int(c.accepted.size()); ++i) {
            AddProductRows(i, ProductCode(i), c.accepted[i]);
            if (!c.accepted[i].empty())
                Install(ProductCode(i), "7.0.43.5");
        }
        Sim().configureResults = c.results;
        Sim().failOpen.insert(c.pszFailOpen);
        Sim().bCreateDirectoryDenied = *c.pszFailOpen != '\0';  // so the package's path is known
        EXPECT_EQ(RunLauncher(), c.nExitCode);
        EXPECT_EQ(MessageTexts(), c.messages);
        EXPECT_EQ(Sim().messageBoxes.empty() ? "" : Sim().messageBoxes[0].caption,
                  c.messages.empty() ? "" : "Product 0");
        // Every patched product's package, then its folder, is left for deletion, and only those; the rejected
        // product wrote no package.
        EXPECT_EQ(ConfigureCommandLines().size(), c.nPatches);
        EXPECT_EQ(Sim().pendingDeletes.size(), (Sim().bCreateDirectoryDenied ? 1 : 2) * c.nPatches);
        EXPECT_EQ(SimCallsStartingWith("RegDeleteKeyA").size(), c.nPatches);
        EXPECT_TRUE(c.nPatches == 0 || ConfigureCommandLines()[0] == Patch(1));
    }
}

TEST_F(RunFlowTest, ExhaustedMemoryDuringATurnEndsTheRunSilentlyAndEarlierWorkStands)
{
    for (int i = 0; i < 2; ++i) {
        AddProductRows(i, ProductCode(i));
        Install(ProductCode(i), "7.0.43.5", {"A"}, INSTALLSTATE_ABSENT);
    }
    SimSetString(IDS_FEATURES_SECOND_BAND, "U1:A");
    Sim().onConfigure = [](const SimConfigureCall& call) {
        if (call.product == ProductCode(1)) {
            Sim().allocationsBeforeFailure = 0;
            Sim().failingAllocations = 1000000;
        }
    };
    EXPECT_EQ(RunLauncher(), ERROR_NOT_ENOUGH_MEMORY);
    Sim().allocationsBeforeFailure = -1;
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Success("Product 0")}));
    EXPECT_EQ(Sim().configureCalls.size(), 2u);
    EXPECT_EQ(Sim().pendingDeletes.size(), 2u);
}
