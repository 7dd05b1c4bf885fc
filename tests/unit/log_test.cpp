// The log (/l), the installer's own logs, /qn, /? and /plan, on whole runs.
#include "tests/unit/test_machine.h"

#include "app/patchapp.h"
#include "res/builtintexts.h"

namespace {
// Whether each fragment occurs in the text, in this order.
::testing::AssertionResult InOrder(const std::string& text, const std::vector<std::string>& fragments)
{
    size_t nAt = 0;
    for (const std::string& fragment : fragments) {
        const size_t nFound = text.find(fragment, nAt);
        if (nFound == std::string::npos)
            return ::testing::AssertionFailure() << "no \"" << fragment << "\" after offset " << nAt << " in:\n"
                                                 << text;
        nAt = nFound + fragment.size();
    }
    return ::testing::AssertionSuccess();
}
}  // namespace

class LogTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        AddResources(kNeutralDescription, "package");
        AddProductRows(0, ProductCode(0));
        SimSetString(IDS_FEATURES_SECOND_BAND, "U1:A,P");
        SimSetString(IDS_FEATURES_SECOND_BAND + 1, "U1:K");
        // A name misspelt in the configuration (twice), which the installer does not know.
        SimSetString(IDS_FEATURES_SECOND_BAND + 2, "U1:DraftFont,P");
        SimSetString(IDS_FEATURES_SECOND_BAND + 3, "U1:X,DraftFont,P");
        Install(ProductCode(0), "7.0.43.5", {"A", "P"});
        Sim().products[ProductCode(0)].features["K"] = INSTALLSTATE_ABSENT;
        // The patch makes K local, so a removal follows.
        Sim().onConfigure = [](const SimConfigureCall& call) {
            Sim().products[call.product].features["K"] = INSTALLSTATE_LOCAL;
        };
    }
};

TEST_F(LogTest, EveryDecisionOfARunIsALineOfTheLog)
{
    const std::string code = ProductCode(0);
    const struct {
        const char* pszName;
        const char* pszAccepted;
        UINT result;
        int nExitCode;
        std::vector<std::string> fragments;
    } cases[] = {
        // clang-format off
        {"success", "7.0.43.5,", 0, 0,
         {"[0a1c:0b20][2026-12-06T21:05:03] start splaunch unknown, command line: splaunch.exe /l C:\\logs\\run.log",
          "system platform 2 (NT family), version 6.1", "system temporary folder: C:\\Temp\\",
          "system Windows folder: C:\\windows", "system system folder: C:\\windows\\system32",
          "description PatchTitle \"Kelvarin 2004 SP1\", PatchGUID \"{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}\"; identity suffix: PATCHTITLE=",
          "product " + code + ": installer state 5, installed", "product " + code + ": version \"7.0.43.5\" found; the patch brings it to 7.1.0.5",
          "installer msi.dll loaded from C:\\windows\\system32\\msi.dll",
          "gate " + code + ": version \"7.0.43.5\" accepted", "package C:\\windows\\Temp\\SPL", ".tmp: 7 bytes written",
          "held read-only", "network HKLM\\Software\\Host\\P0 cannot be opened (2): not a network installation",
          "features " + code + ": the installer knows no feature \"DraftFont\" (state -1): the rows leave it out",
          "features " + code + ": the installer knows no feature \"X\"",
          "features ADDLOCAL \"\", REINSTALL \"A,\"", "features prior states recorded: K,2",
          "settings HKLM\\Software\\Tessaran\\Kestrune\\" + code + ": not removed (2)",
          "settings HKCU\\Software\\Host\\P0\\Profiles cannot be opened (2): no profile",
          "installer its log for this turn: C:\\logs\\run_001_" + code + ".log (result 0)",
          "patch configuring " + code + ", the installer's interface at its default level, with: PATCH=\"C:\\windows\\Temp\\SPL",
          "patch result 0", "removal configuring " + code + ", the installer's interface off, with: REMOVE=\"K\"",
          "removal result 0", "restart C:\\windows\\Temp\\SPL", "left for deletion at the next restart through the delayed move",
          "message code 301 shown: \"" + Success("Product 0") + "\" captioned \"Product 0\"",
          "end exit code 0: nothing failed\r\n"}},
        {"a rejected version", "1.0.0.0,", 0, IDS_WRONG_VERSION,
         {"gate " + code + ": version \"7.0.43.5\" is not among the accepted \"1.0.0.0,\"",
          "end exit code 308: the first failure reported"}},
        {"a failed patch", "7.0.43.5,", 1603, 1603,
         {"patch result 1603", "removal result 0", "end exit code 1603"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SetUp();
        SimSetString(IDS_PRODUCT_ACCEPTED_VERSIONS, std::string("U1:") + c.pszAccepted);
        Sim().configureResults = {c.result};
        EXPECT_EQ(RunLauncher({"/l", kLog}), c.nExitCode) << c.pszName;
        EXPECT_TRUE(InOrder(LogText(), c.fragments)) << c.pszName;
        EXPECT_FALSE(InOrder(LogText(), {"no feature \"DraftFont\"", "no feature \"DraftFont\""})) << "logged twice";
    }
}

TEST_F(LogTest, TheInstallerLogsOncePerTurnBesideTheLogBeforeThePatchCall)
{
    AddProductRows(1, ProductCode(1));
    Install(ProductCode(1), "7.0.43.5", {"A", "P"});
    EXPECT_EQ(RunLauncher({"/L", "C:\\logs\\run.v2.log"}), 0);
    const std::string first = "C:\\logs\\run.v2_001_" + ProductCode(0) + ".log";
    const std::string second = "C:\\logs\\run.v2_002_" + ProductCode(1) + ".log";
    ASSERT_EQ(Sim().enabledLogs.size(), 2u);
    for (const SimInstallerLog& log : Sim().enabledLogs) {
        // Every kind of message up to the verbose ones, appended and flushed line by line.
        EXPECT_EQ(log.mode, (INSTALLLOGMODE_VERBOSE << 1) - 1u);
        EXPECT_EQ(log.attributes, DWORD{INSTALLLOGATTRIBUTES_APPEND | INSTALLLOGATTRIBUTES_FLUSHEACHLINE});
    }
    EXPECT_EQ(Sim().enabledLogs[0].path, first);
    EXPECT_EQ(Sim().enabledLogs[1].path, second);
    ASSERT_EQ(Sim().configureCalls.size(), 3u);  // the first product's patch and removal, the second's patch
    EXPECT_EQ(Sim().configureCalls[2].logFile, second);
    // A relative name is the current folder's; a device gets no installer log beside it.
    for (const char* pszPath : {"run.log", "nul", "C:\\logs\\con.txt"}) {
        SetUp();
        Sim().currentDirectory = "C:\\logs";
        EXPECT_EQ(RunLauncher({"/l", pszPath}), 0) << pszPath;
        EXPECT_EQ(Sim().enabledLogs.empty() ? "" : Sim().enabledLogs[0].path,
                  *pszPath == 'r' ? "C:\\logs\\run_001_" + ProductCode(0) + ".log" : "")
            << pszPath;
    }
    // Without /l the installer is asked for no log and nothing is written.
    SetUp();
    EXPECT_EQ(RunLauncher(), 0);
    EXPECT_TRUE(Sim().enabledLogs.empty());
    EXPECT_FALSE(SimFileExists(kLog));
}

TEST_F(LogTest, ALogThatCannotBeCreatedStopsTheRunBeforeAnythingIsTouched)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"/l", kLog}, {"/l", kLog, "/q"}}) {
        SetUp();
        Sim().failOpen.insert(kLog);
        EXPECT_EQ(RunLauncher(args), 1622);
        EXPECT_EQ(MessageTexts(),
                  args.size() > 2 ? std::vector<std::string>{} : std::vector<std::string>{Failure(1622, "")});
        EXPECT_TRUE(SimCallsStartingWith("Msi").empty() && SimCallsStartingWith("Reg").empty());
    }
}

TEST_F(LogTest, UsageIsOneInformationBoxAndTouchesNothing)
{
    SimSetString(IDS_PRODUCT_UPDATE, "Tessaran Product Update");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"/?"}, {"/HELP", "/e", "C:\\p.msp"}, {"/q", "/?"}})
        EXPECT_EQ(RunLauncher(args), 0);
    // The built-in text, which has no row of its own, naming the launcher as it was started; nothing under /q.
    std::string usage = SPLAUNCH_USAGE_TEXT;
    usage.replace(0, 2, "splaunch.exe");
    ASSERT_EQ(MessageTexts(), (std::vector<std::string>{usage, usage}));
    EXPECT_EQ(Sim().messageBoxes[1].caption, "Tessaran Product Update");
    EXPECT_EQ(Sim().messageBoxes[1].style, 0x50040u);
    EXPECT_TRUE(SimCallsStartingWith("Msi").empty() && !SimFileExists("C:\\p.msp"));
    SimSetArgs({"C:\\dist\\orvell-sp1.exe", "/?"});
    CPatchApp().InitInstance();
    EXPECT_EQ(Sim().messageBoxes.back().text.substr(0, 20), "orvell-sp1.exe [/q |");
    SimSetString(IDS_USAGE, "translated usage of %s, 100%%");
    EXPECT_EQ(RunLauncher({"/?"}), 0);
    EXPECT_EQ(Sim().messageBoxes.back().text, "translated usage of splaunch.exe, 100%");
}

TEST_F(LogTest, APlanReportsWhatARunWouldPassAndChangesNothing)
{
    SimCreateKey("HKLM\\Software\\Tessaran\\Kestrune\\" + ProductCode(0));
    AddProductRows(1, ProductCode(1), "1.0.0.0,");
    Install(ProductCode(1), "7.0.43.5");
    EXPECT_EQ(RunLauncher({"/plan", "/qn", "/l", kLog}), IDS_WRONG_VERSION);
    for (const char* pszChange : {"MsiConfigureProductExA", "MsiSetInternalUI", "RegDeleteKeyA", "RegDeleteValueA",
                                  "CreateDirectoryA", "GetTempFileNameA", "MoveFileExA", "_tempnam"})
        EXPECT_TRUE(SimCallsStartingWith(pszChange).empty()) << pszChange;
    EXPECT_TRUE(Sim().messageBoxes.empty());  // /q: the plan goes to the log only
    // One line of the log for each line of the plan.
    const std::string plan =
        "plan Product 0 " + ProductCode(0) +
        ", version 7.0.43.5, would be patched.\r\n[0a1c:0b20][2026-12-06T21:05:03] plan Reinstalled: A,\r\n" +
        "[0a1c:0b20][2026-12-06T21:05:03] plan Added: (none)\r\n[0a1c:0b20][2026-12-06T21:05:03] plan " +
        "Host settings removed: HKLM\\Software\\Tessaran\\Kestrune\\" + ProductCode(0) +
        "\r\n[0a1c:0b20][2026-12-06T21:05:03] plan Command line: PATCH=\"C:\\windows\\Temp\\SPL<random>\\MSP<n>.tmp\" " +
        "ADDLOCAL=\"\" REINSTALL=\"A,\"" + kTitleSuffix;
    EXPECT_TRUE(InOrder(LogText(), {plan, "message code 308 not shown (/plan)",
                                    "plan Product 1 " + ProductCode(1) +
                                        ": version 7.0.43.5 is not accepted (1.0.0.0,): it would not be patched.",
                                    "end exit code 308"}));
    // The lists and the identity are the ones the normal run then passes; only the package is new.
    SimSetString(IDS_PRODUCT_ACCEPTED_VERSIONS + 1, "U1:7.0.43.5,");
    EXPECT_EQ(RunLauncher({"/plan"}), 0);
    ASSERT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_EQ(Sim().messageBoxes[0].style, 0x50040u);
    const std::string box = Sim().messageBoxes[0].text;
    RunLauncher();
    const std::string line = ConfigureCommandLines()[0];
    EXPECT_TRUE(InOrder(box, {"changed nothing", "Product 0", line.substr(line.find(" ADDLOCAL")), "Product 1"}));
}

TEST_F(LogTest, TextsFromTheMachineNeverBreakALineOfTheLogOrOfThePlan)
{
    // A profile name (HKCU, the user's own) and a version (the installer's answer) with
    // control characters, one of them a forged line.
    const std::string forged = "\r\n[0001:0001][2030-01-01T00:00:00] end exit code 0: nothing failed";
    const std::string escaped = "Drafting\\x0d\\x0a[0001:0001][2030-01-01T00:00:00] end exit code 0: nothing failed";
    for (const char* pszSwitch : {"/q", "/plan"}) {
        SCOPED_TRACE(pszSwitch);
        SetUp();
        SimSetString("HKCU\\Software\\Host\\P0\\Profiles", "", "Drafting" + forged);
        SimSetDword("HKCU\\Software\\Host\\P0\\Profiles\\Drafting" + forged + "\\General Configuration",
                    "Today_WorkMode", 1);
        Sim().products[ProductCode(0)].version = "7.0.43.5\n\x7f";
        SimSetString(IDS_PRODUCT_ACCEPTED_VERSIONS, "U1:7.0.43.5\n\x7f,");
        EXPECT_EQ(RunLauncher({pszSwitch, "/l", kLog}), 0);
        const std::string log = LogText();
        EXPECT_TRUE(InOrder(log, {"version \"7.0.43.5\\x0a\\x7f\" found", escaped}));
        for (size_t nLine = 0; nLine < log.size(); nLine = log.find("\r\n", nLine) + 2)
            EXPECT_EQ(log.compare(nLine, 12, "[0a1c:0b20]["), 0) << log.substr(nLine, 60);
        if (Sim().messageBoxes.empty())
            continue;
        const std::string box = Sim().messageBoxes[0].text;
        EXPECT_TRUE(InOrder(box, {"version 7.0.43.5\\x0a\\x7f", escaped}));
        EXPECT_EQ(box.find(forged), std::string::npos);
    }
}

TEST_F(LogTest, ALogIsAddedToAndEachRunNamesTheComputerTheUserAndTheOffsetFromUtc)
{
    const struct {
        LONG nBias;
        bool bDaylight;
        const char* pszOffset;
    } cases[] = {{-60, false, "UTC+01:00"}, {-60, true, "UTC+02:00"}, {300, false, "UTC-05:00"}, {0, false, "UTC+00:00"}};
    for (const auto& c : cases) {
        SetUp();
        SimWriteFile(kLog, "the earlier run's evidence\r\n");
        Sim().timeZoneBias = c.nBias;
        Sim().bDaylightTime = c.bDaylight;
        // The installer's own spellings, typed by habit: /log is /l, /quiet is /qn, which silences the installer
        // too, from the first patch on.
        EXPECT_EQ(RunLauncher({"/LOG", kLog, "/Quiet"}), 0);
        EXPECT_TRUE(
            InOrder(LogText(), {"the earlier run's evidence\r\n\r\n[0a1c:0b20][2026-12-06T21:05:03] start computer "
                                "PC01, user Administrator, local time " +
                                    std::string(c.pszOffset) + "\r\n[0a1c:0b20][2026-12-06T21:05:03] start splaunch",
                                "installer its interface is off for the whole run (/qn)",
                                "the installer's interface off, with: PATCH=", "message code 301 silenced by /qn"}))
            << c.pszOffset;
    }
}
