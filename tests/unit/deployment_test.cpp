// Runs as a deployment makes them: a product that has the patch already, one restart at the end, a busy installer.
#include "tests/unit/test_machine.h"

namespace {
const char kPatchCode[] = "{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}";
// The launcher's own question, for a configuration without a row for it.
const char kQuestion[] = "The computer must be restarted to finish the update. Restart now?";
const char kMutex[] = "Global\\_MSIExecute";
}  // namespace

class DeploymentTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        AddResources(kNeutralDescription, "package");
        SimSetString(IDS_PATCH_GUID, kPatchCode);
        SimSetString(IDS_PRODUCT_UPDATE, "Tessaran Product Update");
        SimSetString(IDS_UP_TO_DATE, "The installed product is up to date.");
    }
    // A fresh machine of the given system, with one product to patch.
    void NewMachine(DWORD dwPlatformId, DWORD dwMajor, DWORD dwMinor)
    {
        SetUp();
        InstallProducts(1);
        Sim().platformId = dwPlatformId;
        Sim().majorVersion = dwMajor;
        Sim().minorVersion = dwMinor;
    }
};

TEST_F(DeploymentTest, AProductThatHasThePatchIsLeftAloneAndOnlyAllOfThemMakeTheUpToDateBox)
{
    const std::string kLongTransforms(700, 't');  // more than the first buffer holds
    using Patches = std::vector<std::pair<std::string, std::string>>;
    const Patches kApplied = {{"{00000000-1111-2222-3333-444444444444}", kLongTransforms},
                              {"{b7e3d1a9-52c4-4f8e-9a06-1d3c7e5b2f48}", ":RTM_To_SP1;:#RTM_To_SP1"}};
    const struct {
        const char* pszName;
        std::vector<Patches> products;  // each installed product's applied patches
        std::vector<std::string> args;
        std::vector<std::string> messages;
        int nExitCode;
        size_t nPatchCalls;
        UINT nEnumFailure = 0;  // the installer's answer when asked for the applied patches
        bool bNoPatchCode = false;
    } cases[] = {
        {"silent under /q", {kApplied}, {"/q"}, {}, 0, 0},
        {"two that have it: one box", {kApplied, kApplied}, {}, {"The installed product is up to date."}, 0, 0},
        {"one that has it, one patched", {kApplied, {}}, {}, {Success("Product 1")}, 0, 1},
        {"another patch only", {{kApplied[0]}}, {}, {Success("Product 0")}, 0, 1},
        {"an installer that cannot tell patches", {kApplied}, {}, {Success("Product 0")}, 0, 1, ERROR_UNKNOWN_PRODUCT},
        {"so does a launcher without the patch's code", {kApplied}, {}, {Success("Product 0")}, 0, 1, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        SetUp();
        InstallProducts(static_cast<int>(c.products.size()));
        for (size_t i = 0; i < c.products.size(); ++i)
            Sim().products[ProductCode(static_cast<int>(i))].patches = c.products[i];
        Sim().products[ProductCode(0)].enumPatchesFailure = c.nEnumFailure;
        if (c.bNoPatchCode)
            Sim().strings.erase(IDS_PATCH_GUID);
        EXPECT_EQ(RunLauncher(c.args), c.nExitCode);
        EXPECT_EQ(MessageTexts(), c.messages);
        EXPECT_EQ(Sim().configureCalls.size(), c.nPatchCalls);
        if (c.messages.size() == 1 && c.nPatchCalls == 0) {
            EXPECT_EQ(Sim().messageBoxes[0].caption, "Product 0");
            EXPECT_EQ(Sim().messageBoxes[0].style, 0x50040u);  // as the success box
        }
        // A product left alone is left before its turn's first change, its package's folder.
        EXPECT_EQ(SimCallsStartingWith("CreateDirectoryA").size(), c.nPatchCalls);
    }
    // /plan says so, and exits 0.
    SetUp();
    InstallProducts(1);
    Sim().products[ProductCode(0)].patches = kApplied;
    EXPECT_EQ(RunLauncher({"/plan"}), 0);
    ASSERT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_NE(Sim().messageBoxes[0].text.find("Product 0 " + ProductCode(0) + " has the patch " + kPatchCode +
                                              " already: it would be left as it is."),
              std::string::npos);
}

TEST_F(DeploymentTest, ARestartIsDecidedOnceAtTheEndByTheSwitchesOrTheUser)
{
    const struct {
        const char* pszName;
        std::vector<std::string> args;
        std::deque<UINT> results;  // of the configuring calls, in order
        int nAnswer;               // the question's button, 0 when no question
        int nExitCode;
        DWORD dwReason;  // of the restart asked for; 1 when none
    } cases[] = {
        // clang-format off
        {"needed, answered No", {}, {3010}, IDNO, 3010, 1},
        {"a restart the installer started counts as needed", {}, {1641}, IDNO, 3010, 1},
        {"/q leaves it to the caller", {"/q"}, {3010}, 0, 3010, 1},
        {"/norestart", {"/norestart"}, {3010}, 0, 3010, 1},
        {"/forcerestart does not ask", {"/forcerestart"}, {3010}, 0, 1641, 0x80040002},
        {"/forcerestart under /q", {"/q", "/FORCERESTART"}, {3010}, 0, 1641, 0x80040002},
        {"/norestart wins", {"/forcerestart", "/norestart"}, {3010}, 0, 3010, 1},
        {"not needed: not asked", {"/forcerestart"}, {0}, 0, 0, 1},
        {"a failure's code wins, the restart is still asked for", {}, {3010, 1603}, IDYES, 1603, 0x80040002},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        SetUp();
        InstallProducts(static_cast<int>(c.results.size()));
        Sim().configureResults = c.results;
        if (c.nAnswer != 0)
            Sim().questionAnswers = {c.nAnswer};
        EXPECT_EQ(RunLauncher(c.args), c.nExitCode);
        const bool bAsked = !Sim().messageBoxes.empty() && Sim().messageBoxes.back().text == kQuestion;
        EXPECT_EQ(bAsked, c.nAnswer != 0);
        if (bAsked) {
            EXPECT_EQ(Sim().messageBoxes.back().caption, "Tessaran Product Update");
            EXPECT_EQ(Sim().messageBoxes.back().style, 0x50024u);
        }
        // Restarted at most once, never by force, with the reason of a planned installation.
        using Restarts = std::vector<std::pair<UINT, DWORD>>;
        EXPECT_EQ(Sim().exitWindowsCalls, (c.dwReason == 1 ? Restarts{} : Restarts{{EWX_REBOOT, c.dwReason}}));
    }
}

TEST_F(DeploymentTest, ARestartThatCannotBeStartedLeavesItToTheCallerAndTheLogSaysWhy)
{
    const struct {
        const char* pszName;
        DWORD dwPlatformId, dwMinor;
        bool bNoPrivilege, bRefused, bNoTokenFunctions;
        size_t nRestarts;
        int nExitCode;
        const char* pszLogged;
    } cases[] = {
        {"the token lacks the privilege", 2, 1, true, false, false, 0, 3010, "cannot be enabled (error 1300)"},
        {"no token functions", 2, 1, false, false, true, 0, 3010, "the token functions are missing"},
        {"the system refuses", 2, 1, false, true, false, 1, 3010, "the system refused to restart"},
        {"Windows 98 needs no privilege", 1, 10, true, false, true, 1, 1641, "restarting the computer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        NewMachine(c.dwPlatformId, 6, c.dwMinor);
        Sim().bNoShutdownPrivilege = c.bNoPrivilege;
        Sim().bExitWindowsFails = c.bRefused;
        Sim().bNoSecurityFunctions = c.bNoTokenFunctions;
        Sim().configureResults = {3010};
        EXPECT_EQ(RunLauncher({"/forcerestart", "/l", kLog}), c.nExitCode);
        EXPECT_EQ(Sim().exitWindowsCalls.size(), c.nRestarts);
        if (c.nRestarts != 0) {
            EXPECT_EQ(Sim().exitWindowsCalls[0].second, c.dwPlatformId == 2 ? 0x80040002u : 0u);
        }
        const std::string log = LogText();
        EXPECT_NE(log.find(c.pszLogged), std::string::npos) << log;
        // The exit code that ends the log is the process's.
        EXPECT_NE(log.find("end exit code " + std::to_string(c.nExitCode), log.rfind("\r\n", log.size() - 3)),
                  std::string::npos);
    }
}

TEST_F(DeploymentTest, ABusyInstallerIsWaitedForWithinOneBudgetAndItsMutexNeverKept)
{
    const struct {
        const char* pszName;
        std::vector<std::string> args;
        DWORD dwPlatformId, dwMajor;
        DWORD dwBusySeconds;     // another installation holds the installer this long from the start
        bool bAbandoned;         // and ends without letting go
        std::deque<UINT> results;
        int nExitCode;
        size_t nPatchCalls;
        DWORD dwWaitedSeconds;   // by the clock, when the last patch call comes
        std::vector<std::string> logged;
    } cases[] = {
        // clang-format off
        {"free: no wait", {}, 2, 6, 0, false, {}, 0, 1, 0, {}},
        {"busy for 90 s: waited for, then patched", {}, 2, 6, 90, false, {}, 0, 1, 90,
         {"another installation is running: waiting for it for at most 600 seconds", "still busy after 1 minutes",
          "the other installation ended after 90 seconds"}},
        {"its holder ended without letting go", {}, 2, 6, 90, true, {}, 0, 1, 90, {"ended after 90 seconds"}},
        {"NT 4 has no global names", {}, 2, 4, 90, false, {}, 0, 1, 90, {"ended after 90 seconds"}},
        {"/wait 0 never waits: the installer's answer stands", {"/wait", "0"}, 2, 6, 90, false, {}, 1618, 1, 0, {}},
        {"the budget spent, the call is made anyway", {"/wait", "30"}, 2, 6, 90, false, {}, 1618, 1, 30,
         {"still busy after 30 seconds: no more waiting, the installer decides"}},
        {"a refusal without a mutex: tried again after 10 s", {}, 2, 6, 0, false, {1618, 0}, 0, 2, 10,
         {"trying again in 10 seconds", "configuring " + ProductCode(0) + " again"}},
        {"a /wait that is no number keeps the default", {"/wait", "10s"}, 2, 6, 90, false, {}, 0, 1, 90,
         {"/wait \"10s\" is not a number of seconds from 0 to 4294967: the run waits at most 600 seconds"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        NewMachine(c.dwPlatformId, c.dwMajor, 1);
        const DWORD dwStart = Sim().tickCount;
        if (c.dwBusySeconds != 0)
            Sim().mutexHeldUntil[c.dwMajor >= 5 ? kMutex : "_MSIExecute"] = dwStart + c.dwBusySeconds * 1000;
        Sim().bMutexAbandoned = c.bAbandoned;
        Sim().configureResults = c.results;
        DWORD dwCalledAt = 0;
        Sim().onConfigure = [&](const SimConfigureCall&) { dwCalledAt = Sim().tickCount; };
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"/q", "/l", kLog});
        EXPECT_EQ(RunLauncher(args), c.nExitCode);
        EXPECT_EQ(Sim().configureCalls.size(), c.nPatchCalls);
        EXPECT_EQ((dwCalledAt - dwStart) / 1000, c.dwWaitedSeconds);
        const std::string log = LogText();
        for (const std::string& line : c.logged)
            EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
}

TEST_F(DeploymentTest, OneBudgetServesTheWholeRunAndAPlanOnlyLooks)
{
    // 500 s for the first product; the second finds another installation of 200 s with
    // 100 s left: it waits those, then the installer decides.
    InstallProducts(2);
    const DWORD dwStart = Sim().tickCount;
    Sim().mutexHeldUntil[kMutex] = dwStart + 500000;
    std::vector<DWORD> calledAt;
    Sim().onConfigure = [&](const SimConfigureCall&) {
        calledAt.push_back((Sim().tickCount - dwStart) / 1000);
        if (calledAt.size() == 1)
            Sim().mutexHeldUntil[kMutex] = Sim().tickCount + 200000;
    };
    EXPECT_EQ(RunLauncher({"/q"}), 1618);
    EXPECT_EQ(calledAt, (std::vector<DWORD>{500, 600}));
    // /plan tells, and does not wait.
    SetUp();
    InstallProducts(1);
    Sim().mutexHeldUntil[kMutex] = Sim().tickCount + 90000;
    EXPECT_EQ(RunLauncher({"/plan"}), 0);
    EXPECT_TRUE(SimCallsStartingWith("WaitForSingleObject").empty());
    ASSERT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_NE(Sim().messageBoxes[0].text.find("Another installation is running now: a run would wait for it for at "
                                              "most 600 seconds."),
              std::string::npos);
}
