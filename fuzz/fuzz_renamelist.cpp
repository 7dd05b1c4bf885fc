// Fuzz target: the rename list rewritten with one entry; every old byte survives, in order.
#include "fuzz/harness.h"
#include "payload/restart.h"

#include <algorithm>
#include <strings.h>

static const char kPath[] = "C:\\fuzz\\MSP0.tmp";
static const std::string kEntry = std::string("NUL=") + kPath + "\r\n\r\n";

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
    // Where the entry went: in the section of the first "[rename]" line (any case), or a new one at the end.
    size_t nHeader = std::string::npos;
    for (size_t nLine = 0; nHeader == std::string::npos && nLine < old.size();) {
        const size_t nEnd = std::min(old.find('\n', nLine), old.size());
        std::string text = old.substr(nLine, nEnd - nLine);
        if (nEnd < old.size() && !text.empty() && text.back() == '\r')
            text.pop_back();
        if (strcasecmp(text.c_str(), "[rename]") == 0 && text.size() == 8)
            nHeader = nLine;
        nLine = nEnd + 1;
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
