// Reading the switches from the runtime's split command line.
#include "app/commandline.h"

#include "app/globals.h"
#include "messages/log.h"

// The longest wait /wait takes, in seconds: its milliseconds still fit 32 bits.
static const DWORD kMaxWaitSeconds = 4294967;

// Reads /wait's argument: decimal digits only, up to kMaxWaitSeconds; anything else
// leaves the default, which the log tells.
static void ReadWaitSeconds(const char* pszText)
{
    DWORD dwSeconds = 0;
    const char* pch = pszText;
    for (; *pch >= '0' && *pch <= '9' && dwSeconds <= kMaxWaitSeconds; ++pch)
        dwSeconds = dwSeconds * 10 + static_cast<DWORD>(*pch - '0');
    if (pch == pszText || *pch != '\0' || dwSeconds > kMaxWaitSeconds) {
        LogFormat("switches", "/wait \"%s\" is not a number of seconds from 0 to %u: the run waits at most %u seconds",
                  pszText, kMaxWaitSeconds, kDefaultWaitSeconds);
        return;
    }
    g_dwWaitSeconds = dwSeconds;
}

static bool IsSwitch(const char* pszArg, const char* pszSwitch) { return lstrcmpiA(pszArg, pszSwitch) == 0; }

void ReadCommandLine(int argc, char** argv)
{
    ResetSwitches();
    for (int i = 1; i < argc; ++i) {
        const char* pszArg = argv[i];
        // Whatever follows a switch that takes an argument is that argument, even another
        // switch; without one at the end of the line, the switch is ignored like an unknown one.
        const bool bHasNext = i + 1 < argc;
        if (IsSwitch(pszArg, "/q")) {
            g_bQuiet = true;
        } else if (IsSwitch(pszArg, "/qn") || IsSwitch(pszArg, "/quiet")) {
            g_bQuiet = true;
            g_bQuietInstaller = true;
        } else if (IsSwitch(pszArg, "/e")) {
            g_bExtractOnly = true;
            if (bHasNext)
                g_strExtractPath = argv[++i];
        } else if (IsSwitch(pszArg, "/l") || IsSwitch(pszArg, "/log")) {
            if (bHasNext)
                g_strLogPath = argv[++i];
        } else if (IsSwitch(pszArg, "/wait")) {
            if (bHasNext)
                ReadWaitSeconds(argv[++i]);
        } else if (IsSwitch(pszArg, "/plan")) {
            g_bPlanOnly = true;
        } else if (IsSwitch(pszArg, "/norestart")) {
            g_bNoRestart = true;
        } else if (IsSwitch(pszArg, "/forcerestart")) {
            g_bForceRestart = true;
        } else if (IsSwitch(pszArg, "/?") || IsSwitch(pszArg, "/help")) {
            g_bShowUsage = true;
        }
    }
}
