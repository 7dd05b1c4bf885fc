// Start-up: the description before the command line, and /e.
#include "tests/unit/test_machine.h"

using StartupTest = MachineTest;

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
