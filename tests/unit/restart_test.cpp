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

TEST_F(RestartTest, OnlyWindows95And98UseTheRenameList)
{
    const struct {
        DWORD dwPlatformId, dwMajor, dwMinor;
        bool bFails;
        bool b95, b98;
    } cases[] = {{1, 4, 0, false, true, false},   {1, 4, 10, false, false, true}, {1, 7, 10, false, false, true},
                 {1, 4, 90, false, false, false}, {2, 5, 1, false, false, false}, {2, 4, 0, false, false, false},
                 {1, 4, 10, true, false, false}};
    for (const auto& c : cases) {
        SimReset();
        SetOs(c.dwPlatformId, c.dwMajor, c.dwMinor);
        Sim().bVersionQueryFails = c.bFails;
        SCOPED_TRACE(testing::Message() << c.dwPlatformId << "/" << c.dwMajor << "/" << c.dwMinor);
        EXPECT_EQ(IsWindows95() != FALSE, c.b95);
        EXPECT_EQ(IsWindows98() != FALSE, c.b98);
        EXPECT_TRUE(DeleteAtRestart(kTarget));
        // The rename list, or the delayed move and nothing else.
        EXPECT_EQ(Content(kIni), c.b95 || c.b98 ? "[rename]\r\n" + kEntry : "<absent>");
        EXPECT_EQ(Sim().pendingDeletes,
                  c.b95 || c.b98 ? std::vector<std::string>{} : std::vector<std::string>{kTarget});
    }
}

TEST_F(RestartTest, TheEntryGoesAtTheEndOfTheFirstRenameSectionAndEveryOtherByteStays)
{
    using namespace std::string_literals;      // "..."s keeps a NUL inside a text
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
        {"last section", "[a]\r\nx\r\n[rename]\r\nNUL=C:\\o\r\n", "[a]\r\nx\r\n[rename]\r\nNUL=C:\\o\r\n" + kEntry},
        {"no section", "[a]\r\nx\r\n", "[a]\r\nx\r\n[rename]\r\n" + kEntry},
        {"other case kept as written", "[ReNaMe]\r\n[b]\r\n", "[ReNaMe]\r\n" + kEntry + "[b]\r\n"},
        {"blanks are not the section", " [rename]\r\n[rename] \r\n", " [rename]\r\n[rename] \r\n[rename]\r\n" + kEntry},
        {"a later section untouched", "[rename]\r\n[b]\r\n[rename]\r\nc\r\n", "[rename]\r\n" + kEntry + "[b]\r\n[rename]\r\nc\r\n"},
        {"a bracket inside a line", "[rename]\r\nx=[y]\r\n [z]\r\n", "[rename]\r\nx=[y]\r\n [z]\r\n" + kEntry},
        {"last line without line end", "[a]\r\nx", "[a]\r\nx\r\n[rename]\r\n" + kEntry},
        {"line feeds kept", "[rename]\nx\n[b]\ny", "[rename]\nx\n" + kEntry + "[b]\ny\r\n"},
        {"empty file", "", "[rename]\r\n" + kEntry},
        {"a NUL inside a line neither ends it nor joins the next", "[rename]\r\nA\0B\r\n[b]\r\nc\0\r\n"s,
         "[rename]\r\nA\0B\r\n"s + kEntry + "[b]\r\nc\0\r\n"s},
        {"a NUL is not the end of a header", "[rename]\0x\r\n[rename]\r\n"s, "[rename]\0x\r\n[rename]\r\n"s + kEntry},
        {"bytes above 127 and a lone CR", "[rename]\r\n\xe9\xff\x80\rz\r\r\n[b]\r\n", "[rename]\r\n\xe9\xff\x80\rz\r\r\n" + kEntry + "[b]\r\n"},
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

// Each way the rewrite can fail: where the complete old list is afterwards, and what a
// later call that does not fail makes of it.
TEST_F(RestartTest, AFailureAnywhereLeavesTheCompleteListInOneOfTheTwoFiles)
{
    using Failures = std::set<std::string, SimNoCaseLess> SimMachine::*;
    const std::string kBoth = kNewList.substr(0, kNewList.find("[Other]")) + kEntry + "[Other]\r\nB=2\r\n";
    const struct {
        const char* pszName;
        Failures pFailures;
        const char* pszPath;
        long nDirectoryResult;
        std::string ini, work;  // the files afterwards
        std::string later;      // the list after a later call
    } cases[] = {
        // clang-format off
        {"no directory", NULL, "", 0, kOldList, "<absent>", kNewList},
        {"directory does not fit", NULL, "", 1024, kOldList, "<absent>", kNewList},
        {"the list cannot be read", &SimMachine::failOpen, kIni, -1, kOldList, "<absent>", kNewList},
        {"the work file cannot be opened", &SimMachine::failOpen, kNew, -1, kOldList, "<absent>", kNewList},
        {"a read fails", &SimMachine::failRead, kIni, -1, kOldList, "<absent>", kNewList},
        {"a write fails", &SimMachine::failWrite, kNew, -1, kOldList, "<absent>", kNewList},
        {"closing the work file fails", &SimMachine::failClose, kNew, -1, kOldList, "<absent>", kNewList},
        {"removing the list fails", &SimMachine::failDelete, kIni, -1, kOldList, kNewList, kNewList},
        {"the rename fails", &SimMachine::failRename, kNew, -1, "<absent>", kNewList, kBoth},
        // clang-format on
    };
    for (const auto& c : cases) {
        SetUp();
        SimWriteFile(kIni, kOldList);
        if (c.pFailures != NULL)
            (Sim().*c.pFailures).insert(c.pszPath);
        Sim().windowsDirectoryResult = c.nDirectoryResult;
        EXPECT_FALSE(DeleteAtRestart(kTarget)) << c.pszName;
        EXPECT_EQ(Content(kIni), c.ini) << c.pszName;
        EXPECT_EQ(Content(kNew), c.work) << c.pszName;
        EXPECT_EQ(Sim().openFileCount, 0) << c.pszName;
        if (c.pFailures != NULL)
            (Sim().*c.pFailures).clear();
        Sim().windowsDirectoryResult = -1;
        EXPECT_TRUE(DeleteAtRestart(kTarget)) << c.pszName;
        EXPECT_EQ(Content(kIni), c.later) << c.pszName;
        EXPECT_FALSE(SimFileExists(kNew)) << c.pszName;
    }
}
