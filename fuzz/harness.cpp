// What every fuzz target shares: a fresh simulated machine per input, and the input cut in parts.
#include "fuzz/harness.h"

#include "app/globals.h"
#include "messages/exitcode.h"
#include "messages/log.h"

#include <stdio.h>
#include <stdlib.h>

void FuzzReset()
{
    SimReset();
    Sim().bLogCalls = false;
    ResetProcessGlobals();
    g_hInstance = GetModuleHandleA(NULL);
    ResetRunExitCode();
    StopLog();
}

std::vector<std::string> FuzzSplit(const uint8_t* pData, size_t nSize, char chSeparator, size_t nMaxParts)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < nSize; ++i) {
        if (static_cast<char>(pData[i]) == chSeparator && parts.size() < nMaxParts)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(pData[i]);
    }
    return parts;
}

void FuzzCheck(bool bHolds, const char* pszInvariant)
{
    if (!bHolds) {
        fprintf(stderr, "invariant broken: %s\n", pszInvariant);
        abort();
    }
}
