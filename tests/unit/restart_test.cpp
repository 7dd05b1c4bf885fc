// Deletion at restart: the platform's route, the rename list's layout and its safety on failure.
#include "payload/restart.h"
#include "tests/unit/test_machine.h"

#include <algorithm>

namespace {
const char kIni[] = "C:\\windows\\wininit.ini";
const char kNew[] = "C:\\windows\\wininit.new";
const char kTarget[] = "C:\\Temp\\MSP1.tmp";
const std::string kEntry = "NUL=C:\\Temp\\MSP1.tmp\r\n\r\n";
// A list with its rename section between two others.
const std::string kOldList = "[Settings]\r\nA=1\r\n[rename]\r\nNUL=C:\\old.tmp\r\n[Other]\r\nB=2\r\n";
const std::string kNewList = "[Settings]\r\nA=1\r\n[rename]\r\nNUL=C:\\old.tmp\r\n" + kEntry + "[Other]\r\nB=2\r\n";

std::string Content(const char* pszPath)
{
    std::string content;
    return SimReadFile(pszPath, content) ? content : "<absent>";
}
}  // namespace

class RestartTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        SetOs(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    }
    static void SetOs(DWORD dwPlatformId, DWORD dwMajor, DWORD dwMinor)
    {
        Sim().platformId = dwPlatformId;
        Sim().majorVersion = dwMajor;
        Sim().minorVersion = dwMinor;
    }
};

TEST_F(RestartTest, VersionQueryUsesTheRecordSizeAndAFailedQueryReadsAsZeros)
{
    SetOs(2, 5, 1);
    DWORD dwPlatformId = 9, dwMajor = 9, dwMinor = 9;
    EXPECT_TRUE(GetOsVersion(&dwPlatformId, &dwMajor, &dwMinor));
    EXPECT_EQ(Sim().calls, (std::vector<std::string>{"GetVersionExA(148)"}));
    EXPECT_EQ(dwPlatformId, 2u);
    EXPECT_EQ(dwMajor, 5u);
    EXPECT_EQ(dwMinor, 1u);

    Sim().bVersionQueryFails = true;
    EXPECT_TRUE(GetOsVersion(&dwPlatformId, &dwMajor, &dwMinor));
    EXPECT_EQ(dwPlatformId + dwMajor + dwMinor, 0u);
}

TEST_F(RestartTest, OnlyWindows95And98UseTheRenameList)
{
    const struct {
        DWORD dwPlatformId, dwMajor, dwMinor;
        bool bFails;
        bool b95, b98;
    } cases[] = {{1, 4, 0, false, true, false},  {1, 4, 10, false, false, true}, {1, 7, 10, false, false, true},
                 {1, 4, 90, false, false, false}, {2, 5, 1, false, false, false}, {2, 4, 0, false, false, false},
                 {1, 4, 10, true, false, false}};
    for (const auto& c : cases) {
        SimReset();
        SetOs(c.dwPlatformId, c.dwMajor, c.dwMinor);
        Sim().bVersionQueryFails = c.bFails;
        const std::string name =
            std::to_string(c.dwPlatformId) + "/" + std::to_string(c.dwMajor) + "/" + std::to_string(c.dwMinor);
        EXPECT_EQ(IsWindows95() != FALSE, c.b95) << name;
        EXPECT_EQ(IsWindows98() != FALSE, c.b98) << name;
        EXPECT_TRUE(DeleteAtRestart(kTarget)) << name;
        if (c.b95 || c.b98) {
            EXPECT_EQ(Content(kIni), "[rename]\r\n" + kEntry) << name;
            EXPECT_TRUE(SimCallsStartingWith("MoveFileExA").empty()) << name;
        } else {
            EXPECT_EQ(Sim().pendingDeletes, std::vector<std::string>{kTarget}) << name;
            EXPECT_EQ(SimCallsStartingWith("MoveFileExA"),
                      std::vector<std::string>{"MoveFileExA(\"C:\\Temp\\MSP1.tmp\",NULL,4)"})
                << name;
            EXPECT_FALSE(SimFileExists(kIni)) << name;
        }
    }
}

TEST_F(RestartTest, AFailedDelayedMoveIsReported)
{
    SetOs(2, 5, 1);
    Sim().bMoveFileExFails = true;
    EXPECT_FALSE(DeleteAtRestart(kTarget));
}

TEST_F(RestartTest, WithoutAListANewOneHoldsTheSectionAndTheEntry)
{
    ASSERT_TRUE(DeleteAtRestart(kTarget));
    EXPECT_EQ(Content(kIni), "[rename]\r\nNUL=C:\\Temp\\MSP1.tmp\r\n\r\n");
    EXPECT_FALSE(SimFileExists(kNew));
    EXPECT_EQ(SimCallsStartingWith("GetWindowsDirectoryA"), std::vector<std::string>{"GetWindowsDirectoryA(1024)"});
}

TEST_F(RestartTest, TheEntryGoesAtTheEndOfTheFirstRenameSection)
{
    const struct {
        const char* pszName;
        std::string before;
        std::string after;
    } cases[] = {
        {"between sections", kOldList, kNewList},
        {"last section", "[a]\r\nx\r\n[rename]\r\nNUL=C:\\o\r\n", "[a]\r\nx\r\n[rename]\r\nNUL=C:\\o\r\n" + kEntry},
        {"no section", "[a]\r\nx\r\n", "[a]\r\nx\r\n[rename]\r\n" + kEntry},
        {"other case kept as written", "[ReNaMe]\r\n[b]\r\n", "[ReNaMe]\r\n" + kEntry + "[b]\r\n"},
        {"blanks are not the section", " [rename]\r\n[rename] \r\n", " [rename]\r\n[rename] \r\n[rename]\r\n" + kEntry},
        {"a later section untouched", "[rename]\r\n[b]\r\n[rename]\r\nc\r\n",
         "[rename]\r\n" + kEntry + "[b]\r\n[rename]\r\nc\r\n"},
        {"a bracket inside a line", "[rename]\r\nx=[y]\r\n [z]\r\n", "[rename]\r\nx=[y]\r\n [z]\r\n" + kEntry},
        {"last line without line end", "[a]\r\nx", "[a]\r\nx\r\n[rename]\r\n" + kEntry},
        {"line feeds only", "[rename]\nx\n[b]\ny", "[rename]\r\nx\r\n" + kEntry + "[b]\r\ny\r\n"},
        {"empty file", "", "[rename]\r\n" + kEntry},
    };
    for (const auto& c : cases) {
        SimWriteFile(kIni, c.before);
        EXPECT_TRUE(DeleteAtRestart(kTarget)) << c.pszName;
        EXPECT_EQ(Content(kIni), c.after) << c.pszName;
        EXPECT_FALSE(SimFileExists(kNew)) << c.pszName;
    }
}

TEST_F(RestartTest, TwoCallsAddTwoEntries)
{
    ASSERT_TRUE(DeleteAtRestart("C:\\a.tmp"));
    ASSERT_TRUE(DeleteAtRestart("C:\\b.tmp"));
    EXPECT_EQ(Content(kIni), "[rename]\r\nNUL=C:\\a.tmp\r\n\r\nNUL=C:\\b.tmp\r\n\r\n");
}

TEST_F(RestartTest, AnUnusableWindowsDirectoryTouchesNoFile)
{
    SimWriteFile(kIni, kOldList);
    for (long nResult : {0L, 1024L, 2000L}) {
        Sim().windowsDirectoryResult = nResult;
        EXPECT_FALSE(DeleteAtRestart(kTarget)) << nResult;
    }
    EXPECT_EQ(Content(kIni), kOldList);
    EXPECT_FALSE(SimFileExists(kNew));
}

TEST_F(RestartTest, TheListPathMustFitInTheDirectoryBuffer)
{
    // Existing directories of the given length, in components short enough for the host.
    const auto makeDirectory = [](size_t nLength) {
        std::string directory = "C:";
        while (directory.size() < nLength)
            directory += "\\" + std::string(std::min<size_t>(200, nLength - directory.size() - 1), 'd');
        SimWriteFile(directory + "\\placeholder", "");
        return directory;
    };
    // 1012 characters plus "\wininit.ini" and its NUL need 1025 bytes.
    Sim().windowsDirectory = makeDirectory(1012);
    EXPECT_FALSE(DeleteAtRestart(kTarget));
    EXPECT_FALSE(SimFileExists(Sim().windowsDirectory + "\\wininit.new"));
    EXPECT_FALSE(SimFileExists(Sim().windowsDirectory + "\\wininit.ini"));

    Sim().windowsDirectory = makeDirectory(1011);
    EXPECT_TRUE(DeleteAtRestart(kTarget));
    EXPECT_EQ(Content((Sim().windowsDirectory + "\\wininit.ini").c_str()), "[rename]\r\n" + kEntry);
}

TEST_F(RestartTest, AListThatCannotBeReadIsLeftAloneAndNothingIsWritten)
{
    SimWriteFile(kIni, kOldList);
    Sim().failOpen.insert(kIni);
    EXPECT_FALSE(DeleteAtRestart(kTarget));
    EXPECT_EQ(Content(kIni), kOldList);
    EXPECT_FALSE(SimFileExists(kNew));
}

TEST_F(RestartTest, FailuresBeforeTheRemovalKeepTheOldList)
{
    const struct {
        const char* pszName;
        std::set<std::string, SimNoCaseLess> SimMachine::*pFailures;
        const char* pszPath;
    } cases[] = {{"new file not opened", &SimMachine::failOpen, kNew},
                 {"read fails", &SimMachine::failRead, kIni},
                 {"write fails", &SimMachine::failWrite, kNew},
                 {"close of the new file fails", &SimMachine::failClose, kNew}};
    for (const auto& c : cases) {
        SimReset();
        SetOs(VER_PLATFORM_WIN32_WINDOWS, 4, 0);
        SimWriteFile(kIni, kOldList);
        (Sim().*c.pFailures).insert(c.pszPath);
        EXPECT_FALSE(DeleteAtRestart(kTarget)) << c.pszName;
        EXPECT_EQ(Content(kIni), kOldList) << c.pszName;
        EXPECT_EQ(Sim().openFileCount, 0) << c.pszName;
        EXPECT_TRUE(SimCallsStartingWith("DeleteFileA").empty()) << c.pszName;
    }
}

TEST_F(RestartTest, AFailedRemovalLeavesBothFilesWithTheNewOneComplete)
{
    SimWriteFile(kIni, kOldList);
    Sim().failDelete.insert(kIni);
    EXPECT_FALSE(DeleteAtRestart(kTarget));
    EXPECT_EQ(Content(kIni), kOldList);
    EXPECT_EQ(Content(kNew), kNewList);
}

TEST_F(RestartTest, AFailedRenameLeavesTheCompleteListInTheNewFile)
{
    SimWriteFile(kIni, kOldList);
    Sim().failRename.insert(kNew);
    EXPECT_FALSE(DeleteAtRestart(kTarget));
    EXPECT_FALSE(SimFileExists(kIni));
    EXPECT_EQ(Content(kNew), kNewList);
}
