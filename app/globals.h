// Process-wide state shared by the run flow, the messages and the extraction.
#pragma once

#include "framework/string.h"

extern HINSTANCE g_hInstance;     // the module whose resources are read
extern CString g_strTitle;        // display name of the product in hand: caption and text of messages
extern bool g_bQuiet;             // /q: no message boxes
extern bool g_bExtractOnly;       // /e: only write the package
extern CString g_strExtractPath;  // the path after /e, empty when none was given
