// The product loop: whole runs on the simulated machine, from catalogue to success message.
#include "app/globals.h"
#include "res/builtintexts.h"
#include "tests/unit/test_machine.h"

#include <filesystem>
#include <unistd.h>

// Whether a security descriptor's access list, shut off from what its parent would pass on,
// lets Administrators (BA) and SYSTEM (SY) do everything and admits nobody else.
static bool OnlyAdministratorsAndSystem(const std::string& sddl)
{
    if (sddl.compare(0, 3, "D:P") != 0)
        return false;
    std::set<std::string> full;
    for (size_t nOpen = sddl.find('('); nOpen != std::string::npos; nOpen = sddl.find('(', nOpen + 1)) {
        std::vector<std::string> fields(1);  // type;flags;rights;object;inherited object;trustee
        for (size_t i = nOpen + 1; i < sddl.size() && sddl[i] != ')'; ++i) {
            if (sddl[i] == ';')
                fields.emplace_back();
            else
                fields.back().push_back(sddl[i]);
        }
        if (fields.size() != 6 || fields[0] != "A" || (fields[5] != "BA" && fields[5] != "SY"))
            return false;
        if (fields[1].empty() && fields[2] == "FA")
            full.insert(fields[5]);
    }
    return full.size() == 2;
}

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
    // The paths of the packages the run held open, in order.
    static std::vector<std::string> HeldPackages()
    {
        std::vector<std::string> paths;
        for (const std::string& call : SimCallsStartingWith("CreateFileA(\""))
            paths.push_back(call.substr(13, call.find('"', 13) - 13));
        return paths;
    }
    // Every file and folder below a folder, as Windows paths.
    static std::vector<std::string> FilesUnder(const std::string& folder)
    {
        std::vector<std::string> paths;
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(SimHostPath(folder), error))
            paths.push_back(folder + "\\" + std::filesystem::relative(entry.path(), SimHostPath(folder)).string());
        return paths;
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
        std::string content;
        bHeld = SimFopen(package.c_str(), "wb") == NULL && !DeleteFileA(package.c_str()) &&
                !MoveFileA(package.c_str(), "C:\\swapped.tmp") && SimReadFile(package, content) && content == "package";
    };
    Sim().configureResults = {1603};
    EXPECT_EQ(RunLauncher(), 1603);
    EXPECT_TRUE(bReady);
    EXPECT_TRUE(bHeld);
    // A new folder that only administrators and the system can change, the package in it, held for reading and
    // shared with readers only.
    const std::vector<std::string> folders = SimCallsStartingWith("CreateDirectoryA(\"C:\\windows\\Temp\\SPL");
    ASSERT_EQ(folders.size(), 1u);
    const std::string folder = folders[0].substr(18, folders[0].find('"', 18) - 18);
    EXPECT_TRUE(OnlyAdministratorsAndSystem(folders[0].substr(folder.size() + 20, folders[0].size() - folder.size() - 21)))
        << folders[0];
    const std::string package = HeldPackages().at(0);
    EXPECT_EQ(package.substr(0, folder.size() + 4), folder + "\\MSP");
    std::string hold = "CreateFileA(\"" + package + "\",";
    SimAppendArg(hold, SimHex{GENERIC_READ});
    EXPECT_EQ(SimCallsStartingWith("CreateFileA"),
              std::vector<std::string>{hold + "," + std::to_string(FILE_SHARE_READ) + "," + std::to_string(OPEN_EXISTING) + ")"});
    // Left for the restart, then gone at once: nothing piles up.
    EXPECT_EQ(Sim().pendingDeletes, (std::vector<std::string>{package, folder}));
    EXPECT_FALSE(SimFileExists(folder));
    // The network flag is read before the selection that depends on it; the package is let go before its deletion.
    EXPECT_LT(CallIndex("RegOpenKeyExA(HKLM\\Software\\Host\\P0,"), CallIndex("MsiQueryFeatureStateA"));
    EXPECT_LT(CallIndex("CloseHandle"), CallIndex("MoveFileExA"));
    EXPECT_EQ(Sim().configureCalls[0].installLevel, 0);
    EXPECT_EQ(Sim().configureCalls[0].installState, 5);
    EXPECT_EQ(ConfigureCommandLines(),
              std::vector<std::string>{"PATCH=\"" + package + "\" ADDLOCAL=\"\" REINSTALL=\"A,\"" + kTitleSuffix +
                                       " REBOOT=ReallySuppress"});
}

TEST_F(RunFlowTest, WithoutAPrivateFolderThePackageGoesToTheTemporaryFolderStillHeld)
{
    const std::string longWindows = "C:\\" + std::string(226, 'w');  // its folders' paths leave no room for a file
    const struct {
        const char* pszName;
        DWORD dwPlatformId, dwMinor;
        bool bNoSecurityFunctions, bDenied, bNoFileInFolder, bFolderStays;
        std::string windows;
        size_t nPending;  // the package, and a folder that could not be removed at once
    } cases[] = {
        {"not an administrator", 2, 1, false, true, false, false, "C:\\windows", 1},
        {"no security functions", 2, 1, true, false, false, false, "C:\\windows", 1},
        {"Windows 98", 1, 10, false, false, false, false, "C:\\windows", 0},
        {"no file can be made in the new folder", 2, 1, false, false, true, false, "C:\\windows", 1},
        {"nor can the folder be removed", 2, 1, false, false, true, true, "C:\\windows", 2},
        {"a Windows folder of 229 characters", 2, 1, false, false, false, false, longWindows, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        SetUp();
        InstallProducts(1);
        Sim().platformId = c.dwPlatformId;
        Sim().minorVersion = c.dwMinor;
        Sim().bNoSecurityFunctions = c.bNoSecurityFunctions;
        Sim().bCreateDirectoryDenied = c.bDenied;
        Sim().bTempFileNameFails = c.bNoFileInFolder;
        Sim().bRemoveDirectoryDenied = c.bFolderStays;
        Sim().windowsDirectory = c.windows;
        SimWriteFile(c.windows + "\\Temp\\placeholder", "");
        EXPECT_EQ(RunLauncher(), 0);
        EXPECT_EQ(HeldPackages(), std::vector<std::string>{"C:\\Temp\\MSP1.tmp"});
        EXPECT_EQ(Sim().pendingDeletes.size(), c.nPending);
        // A folder made in vain is gone at once, or left for the restart.
        EXPECT_EQ(FilesUnder(c.windows + "\\Temp").size(), c.bFolderStays ? 2u : 1u);
        EXPECT_FALSE(SimFileExists("C:\\Temp\\MSP1.tmp"));
    }
}

// Every way a turn's package can fail: the failure's code, no installer call, and nothing
// of the launcher's own left behind; what another process put there stays untouched.
TEST_F(RunFlowTest, APackageThatCannotBeWrittenOrTrustedFailsTheTurnAndLeavesNothingBehind)
{
    const std::string temp = "C:\\Temp\\MSP1.tmp";
    const auto swap = [](const std::string& bytes) {
        return [bytes](const std::string& path) {
            Sim().onFileClosed = nullptr;
            SimWriteFile(path, bytes);
        };
    };
    const struct {
        const char* pszName;
        bool bPrivate;
        std::function<void()> arrange;
        int nExitCode;
        std::string owned;  // a file another process owns, which must keep its bytes, "planted"
    } cases[] = {
        {"no package resource", true, [] { Sim().resources.pop_back(); }, 101, ""},
        {"a short write", false, [&] { Sim().failWrite.insert(temp); }, 108, ""},
        {"swapped before the hold", false, [&] { Sim().onFileClosed = swap("other bytes"); }, 107, ""},
        {"swapped for bytes of the same length", false, [&] { Sim().onFileClosed = swap("PACKAGE"); }, 107, ""},
        {"a file planted at the chosen name", false,
         [] { Sim().onTempName = [](const std::string& path) { SimWriteFile(path, "planted"); }; }, 107, temp},
        {"a link planted at the chosen name", false,
         [] {
             SimWriteFile("C:\\victim.dll", "planted");
             Sim().onTempName = [](const std::string& path) {
                 if (symlink(SimHostPath("C:\\victim.dll").c_str(), SimHostPath(path).c_str()) != 0)
                     ADD_FAILURE() << "no link";
             };
         },
         107, "C:\\victim.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        SetUp();
        InstallProducts(1);
        Sim().bCreateDirectoryDenied = !c.bPrivate;
        c.arrange();
        EXPECT_EQ(RunLauncher(), c.nExitCode);
        EXPECT_TRUE(Sim().configureCalls.empty());
        EXPECT_EQ(FilesUnder("C:\\windows\\Temp"), std::vector<std::string>{});
        EXPECT_TRUE(Sim().pendingDeletes.empty());
        std::string content;
        EXPECT_TRUE(c.owned.empty() ? !SimFileExists(temp) : SimReadFile(c.owned, content) && content == "planted");
    }
}

TEST_F(RunFlowTest, ChangedFeaturesAreRemovedInSnapshotOrderAndTheInterfaceStaysOffAndARestartTheyNeedCounts)
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
    Sim().configureResults = {0, 3010};
    EXPECT_EQ(RunLauncher(), 3010);
    ASSERT_EQ(Sim().configureCalls.size(), 3u);
    EXPECT_EQ(Sim().configureCalls[0].uiLevel, 1);
    EXPECT_EQ(Sim().configureCalls[1].commandLine, "REMOVE=\"K,M\" REBOOT=ReallySuppress");
    EXPECT_EQ(Sim().configureCalls[1].uiLevel, 2);
    EXPECT_EQ(Sim().configureCalls[2].product, ProductCode(1));
    EXPECT_EQ(Sim().configureCalls[2].uiLevel, 2);
    EXPECT_EQ(SimCallsStartingWith("MsiSetInternalUI"), (std::vector<std::string>{"MsiSetInternalUI(2,NULL)"}));
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{Success("Product 0"), Success("Product 1"), SPLAUNCH_RESTART_QUESTION}));
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
        {"cancelled", {"7.0.43.5,"}, {1602}, "", 1602, {}, 1},
        {"a result that is a row id is a failure too", {"7.0.43.5,", "7.0.43.5,"}, {IDS_SUCCESS, 0}, "", IDS_SUCCESS,
         {Success("Product 0")}, 2},
        {"one failure silences later successes, a rejection does not",
         {"1.0.0.0,", "7.0.43.5,", "7.0.43.5,", "7.0.43.5,"}, {0, 1603, 0}, "", IDS_WRONG_VERSION,
         {"Incorrect product version installed", Success("Product 1"), Failure(1603, "Product 2")}, 3},
        {"an extraction failure ends the loop", {"7.0.43.5,", "7.0.43.5,", "7.0.43.5,"}, {}, "C:\\Temp\\MSP1.tmp",
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
        // The package of the turn after the first patch cannot be made.
        const std::string failOpen = c.pszFailOpen;
        Sim().onConfigure = [failOpen](const SimConfigureCall&) { Sim().failOpen.insert(failOpen); };
        Sim().bCreateDirectoryDenied = !failOpen.empty();  // so the package's path is known
        EXPECT_EQ(RunLauncher(), c.nExitCode);
        EXPECT_EQ(MessageTexts(), c.messages);
        EXPECT_EQ(Sim().messageBoxes.empty() ? "" : Sim().messageBoxes[0].caption,
                  c.messages.empty() ? "" : "Product 0");
        // Every patched product's package, then its folder, is left for deletion, and only those; the rejected
        // product wrote no package.
        EXPECT_EQ(ConfigureCommandLines().size(), c.nPatches);
        EXPECT_EQ(Sim().pendingDeletes.size(), (Sim().bCreateDirectoryDenied ? 1 : 2) * c.nPatches);
        EXPECT_EQ(SimCallsStartingWith("RegDeleteKeyA").size(), c.nPatches);
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
    // The second package, and its folder, went with the turn.
    EXPECT_EQ(Sim().pendingDeletes.size(), 2u);
    EXPECT_EQ(FilesUnder("C:\\windows\\Temp"), std::vector<std::string>{});
}
