// Fuzz target: the rename list rewritten with one entry; every old byte survives, in order.
#include "fuzz/harness.h"
#include "payload/restart.h"

#include <strings.h>

static const char kPath[] = "C:\\fuzz\\MSP0.tmp";
static const std::string kEntry = std::string("NUL=") + kPath + "\r\n\r\n";

// The line's text without its line end (LF, or CR LF).
static std::string LineText(const std::string& line)
{
    std::string text = line;
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (!text.empty() && text.back() == '\r' && line.back() == '\n')
        text.pop_back();
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string old(reinterpret_cast<const char*>(pData), nSize);
    if (old.find("MSP0") != std::string::npos)
        return 0;  // the entry must be told apart from the old text
    FuzzReset();
    Sim().platformId = VER_PLATFORM_WIN32_WINDOWS;
    Sim().minorVersion = 10;
    SimWriteFile("C:\\windows\\wininit.ini", old);
    FuzzCheck(DeleteAtRestart(kPath) != FALSE, "the entry is added");
    std::string list;
    FuzzCheck(SimReadFile("C:\\windows\\wininit.ini", list) && !SimFileExists("C:\\windows\\wininit.new"),
              "the list is in place and the work file gone");

    // Exactly one entry is added; taking it out (and a new section's header) leaves the old
    // text, but for the line end an unterminated last line gets.
    const size_t nAt = list.find(kEntry);
    FuzzCheck(nAt != std::string::npos && list.find(kEntry, nAt + 1) == std::string::npos, "one entry");
    std::string before = list.substr(0, nAt);
    const std::string after = list.substr(nAt + kEntry.size());
    // Where the entry went: after the first "[rename]" line's section, or in a new one at the end.
    size_t nHeader = std::string::npos;
    for (size_t nLine = 0; nLine < old.size();) {
        const size_t nEnd = old.find('\n', nLine);
        const std::string line = old.substr(nLine, nEnd == std::string::npos ? std::string::npos : nEnd - nLine + 1);
        if (strcasecmp(LineText(line).c_str(), "[rename]") == 0 && LineText(line).size() == 8) {
            nHeader = nLine;
            break;
        }
        nLine += line.size();
    }
    if (nHeader == std::string::npos) {
        FuzzCheck(before.size() >= 10 && before.compare(before.size() - 10, 10, "[rename]\r\n") == 0, "a new section");
        before.resize(before.size() - 10);
        FuzzCheck(after.empty(), "the new section ends the list");
    } else {
        FuzzCheck(before.size() > nHeader, "the entry follows the section's header");
        FuzzCheck(after.empty() || after[0] == '[', "the entry ends the section");
        for (size_t i = nHeader; (i = before.find('\n', i)) != std::string::npos && i + 1 < before.size(); ++i)
            FuzzCheck(before[i + 1] != '[', "no section header before the entry");
    }
    if (!after.empty() || nHeader == std::string::npos)
        FuzzCheck(before.empty() || before.back() == '\n', "the entry starts a line");
    // An unterminated last line gets its line end, wherever it ends up.
    const bool bUnterminated = !old.empty() && old.back() != '\n';
    FuzzCheck(before + after == old + (bUnterminated ? "\r\n" : ""), "every old byte survives, in order");
    return 0;
}
