// Start-up: the description before the command line, the switches, /e, exit codes.
#include "app/commandline.h"
#include "app/globals.h"
#include "tests/unit/test_machine.h"

class StartupTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        AddMessageRows();
    }
    static void Read(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv = {"splaunch.exe"};
        argv.insert(argv.end(), args.begin(), args.end());
        SimSetArgs(argv);
        ReadCommandLine(__argc, __argv);
    }
};

TEST_F(StartupTest, SwitchesMatchWholeArgumentsInAnyCase)
{
    Read({"/Q", "-e", "/ex", "/E"});
    EXPECT_TRUE(g_bQuiet);
    EXPECT_TRUE(g_bExtractOnly);
    EXPECT_STREQ(g_strExtractPath, "");
    Read({"/qq", "q", "-q"});
    EXPECT_FALSE(g_bQuiet);
    EXPECT_FALSE(g_bExtractOnly);
}

TEST_F(StartupTest, TheArgumentAfterEIsItsPathWhateverItIs)
{
    Read({"/e", "/q"});
    EXPECT_FALSE(g_bQuiet);
    EXPECT_STREQ(g_strExtractPath, "/q");
    Read({"/e", "first", "/e", "second"});
    EXPECT_STREQ(g_strExtractPath, "second");
    Read({"/e", "first", "/e"});
    EXPECT_STREQ(g_strExtractPath, "first");
    Read({"/q", "/e", "C:\\out dir\\p.msp"});
    EXPECT_TRUE(g_bQuiet);
    EXPECT_STREQ(g_strExtractPath, "C:\\out dir\\p.msp");
}

TEST_F(StartupTest, ABrokenDescriptionIsShownEvenWithQuietAndEndsTheRun)
{
    SimAddResource("IDR_MSP", "MSP", "package");
    BOOL bResult = TRUE;
    EXPECT_EQ(RunLauncher({"/q", "/e", "C:\\p.msp"}, &bResult), 101);
    EXPECT_FALSE(bResult);
    ASSERT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_EQ(Sim().messageBoxes[0].text, "Error 101: The  update was not applied");
    EXPECT_EQ(Sim().messageBoxes[0].caption, "");
    EXPECT_FALSE(SimFileExists("C:\\p.msp"));
}

TEST_F(StartupTest, ExtractOnlyWritesThePackageAndNothingElse)
{
    AddResources(kNeutralDescription, "package");
    BOOL bResult = FALSE;
    EXPECT_EQ(RunLauncher({"/e", "C:\\p.msp"}, &bResult), 0);
    EXPECT_TRUE(bResult);
    EXPECT_TRUE(SimFileExists("C:\\p.msp"));
    EXPECT_TRUE(Sim().messageBoxes.empty());
    EXPECT_TRUE(SimCallsStartingWith("Msi").empty());
}

TEST_F(StartupTest, ExtractionFailureGivesItsCodeAsExitCodeAndStillReturnsTrue)
{
    AddResources(kNeutralDescription, "package");
    BOOL bResult = FALSE;
    EXPECT_EQ(RunLauncher({"/q", "/e", "C:\\missing\\p.msp"}, &bResult), 107);
    EXPECT_TRUE(bResult);
    EXPECT_TRUE(Sim().messageBoxes.empty());

    Sim().tempPathResult = 0;
    EXPECT_EQ(RunLauncher({"/e"}), 105);
    ASSERT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_EQ(Sim().messageBoxes[0].text, "Error 105: The  update was not applied");
}
