// Deletion at restart: the platform's route, the rename list's layout and its safety on failure.
#include "payload/restart.h"
#include "tests/unit/test_machine.h"

#include <algorithm>

namespace {
const char kIni[] = "C:\\windows\\wininit.ini";
const char kNew[] = "C:\\windows\\wininit.new";
const char kCopy[] = "C:\\windows\\wininit.spl";
const char kDone[] = "C:\\windows\\wininit.bak";
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

TEST_F(RestartTest, OnlyWindows95And98UseTheRenameList)
{
    const struct {
        DWORD dwPlatformId, dwMajor, dwMinor;
        bool bFails;
        bool bRenameList;
    } cases[] = {{1, 4, 0, false, true},   {1, 4, 10, false, true}, {1, 7, 10, false, true},
                 {1, 4, 90, false, false}, {2, 4, 0, false, false}, {1, 4, 10, true, false}};
    for (const auto& c : cases) {
        SimReset();
        SetOs(c.dwPlatformId, c.dwMajor, c.dwMinor);
        Sim().bVersionQueryFails = c.bFails;
        SCOPED_TRACE(testing::Message() << c.dwPlatformId << "/" << c.dwMajor << "/" << c.dwMinor);
        EXPECT_TRUE(DeleteAtRestart(kTarget));
        // The rename list, or the delayed move and nothing else.
        EXPECT_EQ(Content(kIni), c.bRenameList ? "[rename]\r\n" + kEntry : "<absent>");
        EXPECT_EQ(Sim().pendingDeletes, c.bRenameList ? std::vector<std::string>{} : std::vector<std::string>{kTarget});
    }
}

TEST_F(RestartTest, TheEntryGoesAtTheEndOfTheFirstRenameSectionAndEveryOtherByteStays)
{
    const std::string longLine(3000000, 'v');  // several megabytes
    const struct {
        const char* pszName;
        std::string before;  // "<absent>": no list yet
        std::string after;
        int nCalls = 1;
    } cases[] = {
        // clang-format off
        {"no list, two calls", "<absent>", "[rename]\r\n" + kEntry + kEntry, 2},
        {"between sections", kOldList, kNewList},
        {"blanks are not the section", " [rename]\r\n[rename] \r\n", " [rename]\r\n[rename] \r\n[rename]\r\n" + kEntry},
        {"a later section untouched", "[rename]\r\n[b]\r\n[rename]\r\nc\r\n", "[rename]\r\n" + kEntry + "[b]\r\n[rename]\r\nc\r\n"},
        {"a bracket inside a line", "[rename]\r\nx=[y]\r\n [z]\r\n", "[rename]\r\nx=[y]\r\n [z]\r\n" + kEntry},
        {"empty file", "", "[rename]\r\n" + kEntry},
        {"a line of several megabytes", "[rename]\r\n" + longLine + "\r\n[b]\r\n", "[rename]\r\n" + longLine + "\r\n" + kEntry + "[b]\r\n"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SetUp();
        if (c.before != "<absent>")
            SimWriteFile(kIni, c.before);
        for (int i = 0; i < c.nCalls; ++i)
            EXPECT_TRUE(DeleteAtRestart(kTarget)) << c.pszName;
        EXPECT_EQ(Content(kIni), c.after) << c.pszName;
        EXPECT_FALSE(SimFileExists(kNew)) << c.pszName;
    }
}

TEST_F(RestartTest, TheEntryNamesTheFileByItsShortPath)
{
    // The restart reads the list before long names exist; a file without a short form
    // keeps its path.
    SimWriteFile("C:\\Temporary Files\\MSP1.tmp", "package");
    Sim().shortPaths["C:\\Temporary Files\\MSP1.tmp"] = "C:\\TEMPOR~1\\MSP1.tmp";
    EXPECT_TRUE(DeleteAtRestart("C:\\Temporary Files\\MSP1.tmp"));
    EXPECT_TRUE(DeleteAtRestart(kTarget));
    EXPECT_EQ(Content(kIni), "[rename]\r\nNUL=C:\\TEMPOR~1\\MSP1.tmp\r\n\r\n" + kEntry);
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

// Each way the rewrite can fail: the complete old list stays in wininit.ini, or (once that
// is gone) in wininit.new, never in both, and a later call that does not fail adds its
// entry to it once.
TEST_F(RestartTest, AFailureAnywhereLeavesTheCompleteListInOneFile)
{
    using Failures = std::set<std::string, SimNoCaseLess> SimMachine::*;
    const std::string kBoth = kNewList.substr(0, kNewList.find("[Other]")) + kEntry + "[Other]\r\nB=2\r\n";
    const struct {
        const char* pszName;
        Failures pFailures;
        const char* pszPath;
        long nDirectoryResult;
        bool bListGone;  // the old list is in wininit.new, and the later call's entry follows
    } cases[] = {
        // clang-format off
        {"no directory", NULL, "", 0, false},
        {"directory does not fit", NULL, "", 1024, false},
        {"the list cannot be read", &SimMachine::failOpen, kIni, -1, false},
        {"the copy cannot be opened", &SimMachine::failOpen, kCopy, -1, false},
        {"a read fails", &SimMachine::failRead, kIni, -1, false},
        {"a write fails", &SimMachine::failWrite, kCopy, -1, false},
        {"the copy cannot be flushed", &SimMachine::failClose, kCopy, -1, false},
        {"the copy cannot become the work file", &SimMachine::failRename, kCopy, -1, false},
        {"removing the list fails", &SimMachine::failDelete, kIni, -1, false},
        {"the rename fails", &SimMachine::failRename, kNew, -1, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        SetUp();
        SimWriteFile(kIni, kOldList);
        if (c.pFailures != NULL)
            (Sim().*c.pFailures).insert(c.pszPath);
        Sim().windowsDirectoryResult = c.nDirectoryResult;
        EXPECT_FALSE(DeleteAtRestart(kTarget));
        EXPECT_EQ(Content(kIni), c.bListGone ? "<absent>" : kOldList);
        EXPECT_EQ(Content(kNew), c.bListGone ? kNewList : "<absent>");
        EXPECT_FALSE(SimFileExists(kCopy));
        EXPECT_EQ(Sim().openFileCount, 0);
        if (c.pFailures != NULL)
            (Sim().*c.pFailures).clear();
        Sim().windowsDirectoryResult = -1;
        EXPECT_TRUE(DeleteAtRestart(kTarget));
        EXPECT_EQ(Content(kIni), c.bListGone ? kBoth : kNewList);
        EXPECT_FALSE(SimFileExists(kNew));
    }
}

// What an earlier call (cut off, or overtaken by a restart that carried out wininit.ini
// and renamed it wininit.bak) left behind: each file taken for what it is.
TEST_F(RestartTest, LeftoversAreTakenAsTheListOnlyWhileTheRestartHasNotCarriedThemOut)
{
    const std::string kFresh = "[rename]\r\n" + kEntry;
    const std::string kBoth = kNewList.substr(0, kNewList.find("[Other]")) + kEntry + "[Other]\r\nB=2\r\n";
    const struct {
        const char* pszName;
        std::string ini, work, copy, done;  // "" : absent
        std::string after;
    } cases[] = {
        // clang-format off
        {"a work file beside the list is an unfinished copy", kOldList, kNewList, "", "", kNewList},
        {"a work file alone is the list", "", kNewList, "", "", kBoth},
        {"a work file alone that the restart carried out", "", kNewList, "", kOldList, kFresh},
        {"the same entries with other line ends and blank lines", "", kNewList, "",
         "[rename]\nNUL=C:\\old.tmp\n\n[x]\n", kFresh},
        {"a restart of other entries", "", kNewList, "", "[rename]\r\nNUL=C:\\other.tmp\r\n", kBoth},
        {"a copy cut short is nobody's list", kOldList, "", "[Settings]\r\nA=", "", kNewList},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        SetUp();
        const std::pair<const char*, std::string> files[] = {{kIni, c.ini}, {kNew, c.work}, {kCopy, c.copy},
                                                             {kDone, c.done}};
        for (const auto& file : files)
            if (!file.second.empty())
                SimWriteFile(file.first, file.second);
        EXPECT_TRUE(DeleteAtRestart(kTarget));
        EXPECT_EQ(Content(kIni), c.after);
        EXPECT_FALSE(SimFileExists(kNew));
        EXPECT_FALSE(SimFileExists(kCopy));
    }
}
