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
extern bool g_bNoRestart;         // /norestart: never ask for a restart, never start one
extern bool g_bForceRestart;      // /forcerestart: restart without asking when one is needed
extern DWORD g_dwWaitSeconds;     // /wait: how long the run may wait for a busy installer, in all

// How long a run waits for a busy installer without /wait, in all.
const DWORD kDefaultWaitSeconds = 600;

// Sets the switches' globals to their values without any switch.
void ResetSwitches();
// Sets every process-wide global to its value at start (a new run in the same process).
void ResetProcessGlobals();
