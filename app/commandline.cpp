// Reading the switches from the runtime's split command line.
#include "app/commandline.h"

#include "app/globals.h"

void ReadCommandLine(int argc, char** argv)
{
    ResetSwitches();
    for (int i = 1; i < argc; ++i) {
        const char* pszArg = argv[i];
        // Whatever follows a switch that takes an argument is that argument, even another switch.
        const char* pszNext = i + 1 < argc ? argv[i + 1] : NULL;
        if (lstrcmpiA(pszArg, "/q") == 0) {
            g_bQuiet = true;
        } else if (lstrcmpiA(pszArg, "/qn") == 0) {
            g_bQuiet = true;
            g_bQuietInstaller = true;
        } else if (lstrcmpiA(pszArg, "/e") == 0) {
            g_bExtractOnly = true;
            if (pszNext != NULL)
                g_strExtractPath = argv[++i];
        } else if (lstrcmpiA(pszArg, "/l") == 0) {
            // Without its file at the end of the line, /l is ignored like an unknown switch.
            if (pszNext != NULL)
                g_strLogPath = argv[++i];
        } else if (lstrcmpiA(pszArg, "/plan") == 0) {
            g_bPlanOnly = true;
        } else if (lstrcmpiA(pszArg, "/?") == 0 || lstrcmpiA(pszArg, "/help") == 0) {
            g_bShowUsage = true;
        }
    }
}
