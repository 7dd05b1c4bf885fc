// Definitions of the process-wide globals, empty or false at start.
#include "app/globals.h"

HINSTANCE g_hInstance = NULL;
CString g_strTitle;
bool g_bQuiet = false;
bool g_bQuietInstaller = false;
bool g_bExtractOnly = false;
CString g_strExtractPath;
CString g_strLogPath;
bool g_bPlanOnly = false;
bool g_bShowUsage = false;
bool g_bNoRestart = false;
bool g_bForceRestart = false;
DWORD g_dwWaitSeconds = kDefaultWaitSeconds;

void ResetSwitches()
{
    g_bQuiet = false;
    g_bQuietInstaller = false;
    g_bExtractOnly = false;
    g_bPlanOnly = false;
    g_bShowUsage = false;
    g_bNoRestart = false;
    g_bForceRestart = false;
    g_dwWaitSeconds = kDefaultWaitSeconds;
    g_strExtractPath.Empty();
    g_strLogPath.Empty();
}

void ResetProcessGlobals()
{
    g_hInstance = NULL;
    g_strTitle.Empty();
    ResetSwitches();
}
