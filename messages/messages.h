// The one reporting operation: a code becomes a modal message box, or nothing under /q.
#pragma once

#include "platform/win32.h"
#include "res/resource.h"

// The installer's code for a log it cannot open: /l names a file that cannot be created.
enum { kLogNotCreated = 1622 };

// Shows the switches and the exit codes (the string-table row, or the built-in English
// text) in an information box; nothing under /q.
void ShowUsage();

// Shows IDS_SUCCESS and IDS_UP_TO_DATE as information (their rows formatted with
// g_strTitle) and every other code as a failure, captioned with g_strTitle; shows nothing
// when g_bQuiet is set. Failures are remembered for the exit code either way.
void ShowMessage(int nCode);

// Asks whether to restart the computer now (the question row, or the built-in English
// text), captioned with IDS_PRODUCT_UPDATE; TRUE for Yes.
BOOL AskToRestart();
