// Package extraction: temporary names, overwriting, and each failure from the right step.
#include "payload/extract.h"
#include "tests/unit/test_machine.h"

using ExtractTest = MachineTest;

static std::string Shown() { return Sim().messageBoxes.empty() ? "" : Sim().messageBoxes.back().text; }

TEST_F(ExtractTest, AnEmptyPathGetsANewTemporaryFileAndAGivenPathIsOverwritten)
{
    // Line ends in the package are bytes like any other: written as they are.
    const std::string package = "package\nbytes\r\n\r";
    AddResources(kNeutralDescription, package);
    CString strPath;
    CString strSecond;
    ASSERT_TRUE(ExtractPatchPackage(strPath));
    ASSERT_TRUE(ExtractPatchPackage(strSecond));
    EXPECT_STREQ(strPath, "C:\\Temp\\MSP1.tmp");
    EXPECT_STREQ(strSecond, "C:\\Temp\\MSP2.tmp");

    SimWriteFile("x.msp", "a much longer old content");
    CString strGiven("x.msp");
    ASSERT_TRUE(ExtractPatchPackage(strGiven));
    for (const char* pszPath : {"C:\\Temp\\MSP2.tmp", "x.msp"}) {
        std::string content;
        ASSERT_TRUE(SimReadFile(pszPath, content));
        EXPECT_EQ(content, package) << pszPath;
    }
}

TEST_F(ExtractTest, TemporaryDirectoryAndNameFailuresComeBeforeAnyResourceStep)
{
    // No resources at all: a resource step would fail with 101.
    const struct {
        long nResult;
        std::string directory;
        bool bNameFails;
        int nCode;
    } cases[] = {
        {0, "C:\\Temp\\", false, 105},
        {-1, "C:\\" + std::string(1100, 'd') + "\\", false, 105},  // the platform asks for more room
        {1024, "C:\\Temp\\", false, 105},                          // no room left for the NUL
        {-1, "C:\\Temp\\", true, 106},
    };
    for (const auto& c : cases) {
        Sim().tempPathResult = c.nResult;
        Sim().tempPath = c.directory;
        Sim().bTempNameFails = c.bNameFails;
        CString strPath;
        EXPECT_FALSE(ExtractPatchPackage(strPath));
        EXPECT_EQ(Shown(), Failure(c.nCode, "")) << c.nResult;
        EXPECT_TRUE(strPath.IsEmpty());
    }
}

TEST_F(ExtractTest, LaterFailuresKeepTheGeneratedNameAndCloseTheFile)
{
    SimAddResource(SPLAUNCH_PACKAGE_NAME, SPLAUNCH_PACKAGE_TYPE, "x").bFailLock = true;
    CString strPath;
    EXPECT_FALSE(ExtractPatchPackage(strPath));
    EXPECT_EQ(Shown(), Failure(104, ""));
    EXPECT_STREQ(strPath, "C:\\Temp\\MSP1.tmp");

    Sim().resources.clear();
    AddResources(kNeutralDescription, "package bytes");
    CString strMissingFolder("C:\\no such folder\\x.msp");
    EXPECT_FALSE(ExtractPatchPackage(strMissingFolder));
    EXPECT_EQ(Shown(), Failure(107, ""));

    // Bytes the runtime still buffers are written by the close: when that fails, the file is short too.
    for (auto pFailures : {&SimMachine::failWrite, &SimMachine::failClose}) {
        (Sim().*pFailures).insert("C:\\short.msp");
        CString strShort("C:\\short.msp");
        EXPECT_FALSE(ExtractPatchPackage(strShort));
        EXPECT_EQ(Shown(), Failure(108, ""));
        EXPECT_TRUE(SimFileExists("C:\\short.msp"));
        (Sim().*pFailures).clear();
    }
}
