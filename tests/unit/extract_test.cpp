// Package extraction: each failure from the right step, temporary names, overwriting.
#include "app/globals.h"
#include "payload/extract.h"
#include "tests/unit/test_machine.h"

class ExtractTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        AddMessageRows();
    }
    static std::string Shown() { return Sim().messageBoxes.empty() ? "" : Sim().messageBoxes.back().text; }
};

TEST_F(ExtractTest, AnEmptyPathGetsANewTemporaryFileHoldingThePackage)
{
    AddResources(kNeutralDescription, "package bytes");
    CString strPath;
    ASSERT_TRUE(ExtractPatchPackage(strPath));
    EXPECT_STREQ(strPath, "C:\\Temp\\MSP1.tmp");
    CString strSecond;
    ASSERT_TRUE(ExtractPatchPackage(strSecond));
    EXPECT_STREQ(strSecond, "C:\\Temp\\MSP2.tmp");
    std::string content;
    ASSERT_TRUE(SimReadFile("C:\\Temp\\MSP2.tmp", content));
    EXPECT_EQ(content, "package bytes");
    EXPECT_EQ(SimCallsStartingWith("_tempnam"), (std::vector<std::string>{"_tempnam(\"C:\\Temp\\\",\"MSP\")",
                                                                          "_tempnam(\"C:\\Temp\\\",\"MSP\")"}));
    EXPECT_TRUE(Sim().messageBoxes.empty());
}

TEST_F(ExtractTest, AnExistingFileIsOverwrittenFromTheStart)
{
    AddResources(kNeutralDescription, "new");
    SimWriteFile("x.msp", "a much longer old content");
    CString strPath("x.msp");
    ASSERT_TRUE(ExtractPatchPackage(strPath));
    std::string content;
    ASSERT_TRUE(SimReadFile("x.msp", content));
    EXPECT_EQ(content, "new");
}

TEST_F(ExtractTest, TemporaryDirectoryAndNameFailuresComeBeforeAnyResourceStep)
{
    Sim().tempPathResult = 0;
    CString strPath;
    EXPECT_FALSE(ExtractPatchPackage(strPath));
    EXPECT_EQ(Shown(), "Error 105: The  update was not applied");

    // A directory that does not fit in 1024 bytes: the platform asks for more room.
    Sim().tempPathResult = -1;
    Sim().tempPath = "C:\\" + std::string(1100, 'd') + "\\";
    EXPECT_FALSE(ExtractPatchPackage(strPath));
    EXPECT_EQ(Shown(), "Error 105: The  update was not applied");
    Sim().tempPathResult = 1024;
    EXPECT_FALSE(ExtractPatchPackage(strPath));
    EXPECT_EQ(Sim().messageBoxes.size(), 3u);

    Sim().tempPathResult = -1;
    Sim().tempPath = "C:\\Temp\\";
    Sim().bTempNameFails = true;
    EXPECT_FALSE(ExtractPatchPackage(strPath));
    EXPECT_EQ(Shown(), "Error 106: The  update was not applied");
    EXPECT_TRUE(strPath.IsEmpty());
}

TEST_F(ExtractTest, ResourceFailuresKeepTheGeneratedName)
{
    const struct {
        bool bPresent;
        std::string bytes;
        bool bFailLoad;
        bool bFailLock;
        int nCode;
    } cases[] = {{false, "x", false, false, 101}, {true, "", false, false, 102}, {true, "x", true, false, 103},
                 {true, "x", false, true, 104}};
    for (const auto& c : cases) {
        Sim().resources.clear();
        if (c.bPresent) {
            SimResource& r = SimAddResource("IDR_MSP", "MSP", c.bytes);
            r.bFailLoad = c.bFailLoad;
            r.bFailLock = c.bFailLock;
        }
        CString strPath;
        EXPECT_FALSE(ExtractPatchPackage(strPath));
        EXPECT_EQ(Shown(), "Error " + std::to_string(c.nCode) + ": The  update was not applied");
        EXPECT_STREQ(strPath, "C:\\Temp\\MSP1.tmp") << c.nCode;
    }
}

TEST_F(ExtractTest, OpenAndWriteFailuresAreReportedAndTheFileIsClosed)
{
    AddResources(kNeutralDescription, "package bytes");
    CString strMissingFolder("C:\\no such folder\\x.msp");
    EXPECT_FALSE(ExtractPatchPackage(strMissingFolder));
    EXPECT_EQ(Shown(), "Error 107: The  update was not applied");

    Sim().failWrite.insert("C:\\short.msp");
    CString strShort("C:\\short.msp");
    EXPECT_FALSE(ExtractPatchPackage(strShort));
    EXPECT_EQ(Shown(), "Error 108: The  update was not applied");
    EXPECT_TRUE(SimFileExists("C:\\short.msp"));
}

TEST_F(ExtractTest, QuietModeFailsWithoutAMessage)
{
    g_bQuiet = true;
    CString strPath("C:\\x.msp");
    EXPECT_FALSE(ExtractPatchPackage(strPath));
    EXPECT_TRUE(Sim().messageBoxes.empty());
}
