// Start-up: the description before the command line, the switches, /e.
#include "app/commandline.h"
#include "app/globals.h"
#include "tests/unit/test_machine.h"

using StartupTest = MachineTest;

TEST_F(StartupTest, SwitchesMatchWholeArgumentsInAnyCaseAndEsArgumentIsItsPath)
{
    const struct {
        std::vector<std::string> argv;  // the program name first
        bool bQuiet, bExtract;
        const char* pszPath;
    } cases[] = {
        {{"splaunch.exe", "/Q", "-e", "/ex", "/E"}, true, true, ""},
        {{"splaunch.exe", "/qq", "q", "-q"}, false, false, ""},
        {{"splaunch.exe", "/e", "/q"}, false, true, "/q"},
        {{"splaunch.exe", "/e", "first", "/e", "second"}, false, true, "second"},
        {{"splaunch.exe", "/e", "first", "/e"}, false, true, "first"},
        {{"splaunch.exe", "/q", "/e", "C:\\out dir\\p.msp"}, true, true, "C:\\out dir\\p.msp"},
    };
    for (const auto& c : cases) {
        SimSetArgs(c.argv);
        ReadCommandLine(__argc, __argv);
        EXPECT_EQ(g_bQuiet, c.bQuiet) << c.argv[1] << " " << c.argv.size();
        EXPECT_EQ(g_bExtractOnly, c.bExtract) << c.argv[1] << " " << c.argv.size();
        EXPECT_STREQ(g_strExtractPath, c.pszPath);
    }
}

TEST_F(StartupTest, ExtractOnlyWritesThePackageAndNothingElseButABrokenDescriptionIsShownEvenWithQuietAndEndsTheRun)
{
    SimAddResource(SPLAUNCH_PACKAGE_NAME, SPLAUNCH_PACKAGE_TYPE, "package");
    EXPECT_EQ(RunLauncher({"/q", "/e", "C:\\p.msp"}), 101);
    ASSERT_EQ(MessageTexts(), std::vector<std::string>{Failure(101, "")});
    EXPECT_EQ(Sim().messageBoxes[0].caption, "");
    EXPECT_FALSE(SimFileExists("C:\\p.msp"));

    SimAddResource(SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, kNeutralDescription);
    EXPECT_EQ(RunLauncher({"/e", "C:\\p.msp"}), 0);
    EXPECT_TRUE(SimFileExists("C:\\p.msp"));
    EXPECT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_TRUE(SimCallsStartingWith("Msi").empty());
}
