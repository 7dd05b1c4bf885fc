// ShowMessage: which text, caption and style each code gives, quiet mode, long titles.
#include "app/globals.h"
#include "messages/exitcode.h"
#include "messages/messages.h"
#include "tests/unit/test_machine.h"

class MessagesTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        AddMessageRows();
        g_strTitle = "Kelvarin 2004";
    }
    static std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const SimMessageBox& box : Sim().messageBoxes)
            texts.push_back(box.text);
        return texts;
    }
};

TEST_F(MessagesTest, FailuresSuccessAndOwnStringsUseTheirTextsAndStyles)
{
    ShowMessage(1603);
    ShowMessage(301);
    ShowMessage(307);
    ASSERT_EQ(Sim().messageBoxes.size(), 3u);
    EXPECT_EQ(Sim().messageBoxes[0].text, "Error 1603: The Kelvarin 2004 update was not applied");
    EXPECT_EQ(Sim().messageBoxes[0].style, 0x50030u);
    EXPECT_EQ(Sim().messageBoxes[1].text, "The Kelvarin 2004 update has been successfully applied");
    EXPECT_EQ(Sim().messageBoxes[1].style, 0x50040u);
    EXPECT_EQ(Sim().messageBoxes[2].text, "Product is not installed");
    EXPECT_EQ(Sim().messageBoxes[2].style, 0x50030u);
    for (const SimMessageBox& box : Sim().messageBoxes)
        EXPECT_EQ(box.caption, "Kelvarin 2004");
}

TEST_F(MessagesTest, AnOwnStringIsShownAsItStandsAndAnEmptyOneFallsBackToTheFormat)
{
    SimSetString(1001, "U1:100% %s %d");
    SimSetString(105, "");
    ShowMessage(1001);
    ShowMessage(105);
    ShowMessage(-5);
    ShowMessage(65536 + 307);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"U1:100% %s %d", "Error 105: The Kelvarin 2004 update was not applied",
                                                 "Error -5: The Kelvarin 2004 update was not applied",
                                                 "Error 65843: The Kelvarin 2004 update was not applied"}));
}

TEST_F(MessagesTest, QuietModeAndMissingFormatRowsShowNothingButFailuresStillCount)
{
    g_bQuiet = true;
    ShowMessage(107);
    ShowMessage(301);
    EXPECT_TRUE(Sim().messageBoxes.empty());
    EXPECT_EQ(GetRunExitCode(), 107);

    g_bQuiet = false;
    Sim().strings.erase(300);
    Sim().strings.erase(301);
    ShowMessage(307);  // has a row of its own, but without 300 no failure is shown
    ShowMessage(301);
    EXPECT_TRUE(Sim().messageBoxes.empty());
    EXPECT_EQ(GetRunExitCode(), 107);
}

TEST_F(MessagesTest, AnEmptyTitleLeavesTwoBlanksAndAnEmptyCaption)
{
    g_strTitle.Empty();
    ShowMessage(101);
    ASSERT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_EQ(Sim().messageBoxes[0].text, "Error 101: The  update was not applied");
    EXPECT_EQ(Sim().messageBoxes[0].caption, "");
}

TEST_F(MessagesTest, ATitleTooLongForTheBufferIsCutAt511Characters)
{
    g_strTitle = CString(std::string(2000, 'T').c_str());
    ShowMessage(1603);
    ShowMessage(301);
    ASSERT_EQ(Sim().messageBoxes.size(), 2u);
    EXPECT_EQ(Sim().messageBoxes[0].text, "Error 1603: The " + std::string(511 - 16, 'T'));
    EXPECT_EQ(Sim().messageBoxes[1].text.size(), 511u);
    EXPECT_EQ(Sim().messageBoxes[0].caption.size(), 2000u);
}

TEST_F(MessagesTest, AFormatRowLongerThanTheBufferIsCutByTheLoader)
{
    SimSetString(300, std::string(600, 'x') + "%d");
    ShowMessage(1603);
    ASSERT_EQ(Sim().messageBoxes.size(), 1u);
    EXPECT_EQ(Sim().messageBoxes[0].text, std::string(510, 'x'));
}

TEST_F(MessagesTest, ExhaustedMemoryWhileLoadingTheOwnStringDropsTheMessage)
{
    SimSetString(1001, std::string(300, 'r'));
    Sim().allocationsBeforeFailure = 0;
    ShowMessage(1001);
    EXPECT_TRUE(Sim().messageBoxes.empty());
}
