// Start-up: the description before the command line, the switches, /e.
#include "app/commandline.h"
#include "app/globals.h"
#include "tests/unit/test_machine.h"

class StartupTest : public MachineTest {
protected:
    static void Read(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv = {"splaunch.exe"};
        argv.insert(argv.end(), args.begin(), args.end());
        SimSetArgs(argv);
        ReadCommandLine(__argc, __argv);
    }
};

TEST_F(StartupTest, SwitchesMatchWholeArgumentsInAnyCaseAndEsArgumentIsItsPath)
{
    const struct {
        std::vector<std::string> args;
        bool bQuiet, bExtract;
        const char* pszPath;
    } cases[] = {
        {{"/Q", "-e", "/ex", "/E"}, true, true, ""},
        {{"/qq", "q", "-q"}, false, false, ""},
        {{"/e", "/q"}, false, true, "/q"},
        {{"/e", "first", "/e", "second"}, false, true, "second"},
        {{"/e", "first", "/e"}, false, true, "first"},
        {{"/q", "/e", "C:\\out dir\\p.msp"}, true, true, "C:\\out dir\\p.msp"},
    };
    for (const auto& c : cases) {
        Read(c.args);
        EXPECT_EQ(g_bQuiet, c.bQuiet) << c.args[0] << " " << c.args.size();
        EXPECT_EQ(g_bExtractOnly, c.bExtract) << c.args[0] << " " << c.args.size();
        EXPECT_STREQ(g_strExtractPath, c.pszPath);
    }
}

TEST_F(StartupTest, ABrokenDescriptionIsShownEvenWithQuietAndEndsTheRun)
{
    AddMessageRows();
    SimAddResource(SPLAUNCH_PACKAGE_NAME, SPLAUNCH_PACKAGE_TYPE, "package");
    EXPECT_EQ(RunLauncher({"/q", "/e", "C:\\p.msp"}), 101);
    ASSERT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_EQ(Sim().messageBoxes[0].text, Failure(101, ""));
    EXPECT_EQ(Sim().messageBoxes[0].caption, "");
    EXPECT_FALSE(SimFileExists("C:\\p.msp"));
}

TEST_F(StartupTest, ExtractOnlyWritesThePackageAndNothingElse)
{
    AddMessageRows();
    AddResources(kNeutralDescription, "package");
    EXPECT_EQ(RunLauncher({"/e", "C:\\p.msp"}), 0);
    EXPECT_TRUE(SimFileExists("C:\\p.msp"));
    EXPECT_TRUE(Sim().messageBoxes.empty());
    EXPECT_TRUE(SimCallsStartingWith("Msi").empty());
}
