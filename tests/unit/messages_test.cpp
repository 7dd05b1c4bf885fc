// ShowMessage: which text, caption and style each code gives, quiet mode, long texts.
#include "app/globals.h"
#include "messages/exitcode.h"
#include "messages/messages.h"
#include "tests/unit/test_machine.h"

using MessagesTest = MachineTest;

TEST_F(MessagesTest, EachCodeGetsItsTextCaptionAndStyle)
{
    g_strTitle = "Kelvarin 2004";
    SimSetString(IDS_FEATURES_SECOND_BAND, "U1:100% %s %d");
    SimSetString(105, "");
    const struct {
        int nCode;
        std::string text;
        UINT style;
    } cases[] = {
        {1603, Failure(1603, "Kelvarin 2004"), 0x50030},
        {IDS_SUCCESS, "The Kelvarin 2004 update has been successfully applied", 0x50040},
        {IDS_FEATURES_SECOND_BAND, "U1:100% %s %d", 0x50030},  // a row of its own is shown as it stands
        {105, Failure(105, "Kelvarin 2004"), 0x50030},         // an empty row counts as none
        {-5, Failure(-5, "Kelvarin 2004"), 0x50030},
        {65536 + IDS_NOT_INSTALLED, Failure(65536 + IDS_NOT_INSTALLED, "Kelvarin 2004"), 0x50030},  // no 16-bit alias
    };
    for (const auto& c : cases) {
        Sim().messageBoxes.clear();
        ShowMessage(c.nCode);
        ASSERT_EQ(MessageTexts(), std::vector<std::string>{c.text}) << c.nCode;
        EXPECT_EQ(Sim().messageBoxes.back().caption, "Kelvarin 2004");
        EXPECT_EQ(Sim().messageBoxes.back().style, c.style) << c.nCode;
    }
}

TEST_F(MessagesTest, QuietModeAndMissingFormatRowsShowNothingButFailuresStillCount)
{
    g_bQuiet = true;
    ShowMessage(107);
    ShowMessage(IDS_SUCCESS);
    EXPECT_TRUE(Sim().messageBoxes.empty());
    EXPECT_EQ(GetRunExitCode(), 107);

    g_bQuiet = false;
    Sim().strings.erase(IDS_ERROR_FORMAT);
    Sim().strings.erase(IDS_SUCCESS);
    ShowMessage(IDS_NOT_INSTALLED);  // has a row of its own, but without the format no failure is shown
    ShowMessage(IDS_SUCCESS);
    EXPECT_TRUE(Sim().messageBoxes.empty());
}

TEST_F(MessagesTest, TextsLongerThanTheBufferAreCutAt511Characters)
{
    g_strTitle = CString(std::string(2000, 'T').c_str());
    ShowMessage(1603);
    ShowMessage(IDS_SUCCESS);
    SimSetString(IDS_ERROR_FORMAT, std::string(600, 'x') + "%d");  // the loader cuts the format itself
    ShowMessage(1603);
    ASSERT_EQ(MessageTexts(), (std::vector<std::string>{"Error 1603: The " + std::string(511 - 16, 'T'),
                                                        "The " + std::string(507, 'T'), std::string(510, 'x')}));
    EXPECT_EQ(Sim().messageBoxes[0].caption.size(), 2000u);
}

TEST_F(MessagesTest, ExhaustedMemoryWhileLoadingTheOwnStringDropsTheMessage)
{
    SimSetString(IDS_FEATURES_SECOND_BAND, std::string(300, 'r'));
    Sim().allocationsBeforeFailure = 0;
    ShowMessage(IDS_FEATURES_SECOND_BAND);
    EXPECT_TRUE(Sim().messageBoxes.empty());
}
