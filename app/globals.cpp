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
