// Process-wide state shared by the run flow, the messages and the extraction.
#pragma once

#include "framework/string.h"

extern HINSTANCE g_hInstance;     // the module whose resources are read
extern CString g_strTitle;        // display name of the product in hand: caption and text of messages
extern bool g_bQuiet;             // /q or /qn: no message boxes
extern bool g_bQuietInstaller;    // /qn: the installer shows nothing either
extern bool g_bExtractOnly;       // /e: only write the package
extern CString g_strExtractPath;  // the path after /e, empty when none was given
extern CString g_strLogPath;      // the file after /l, empty without a log
extern bool g_bPlanOnly;          // /plan: report what a run would do, change nothing
extern bool g_bShowUsage;         // /? or /help: show the switches and exit codes

// Sets the switches' globals to their values without any switch.
void ResetSwitches();
// Sets every process-wide global to its value at start (a new run in the same process).
void ResetProcessGlobals();
