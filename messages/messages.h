// The one reporting operation: a code becomes a modal message box, or nothing under /q.
#pragma once

#include "res/resource.h"

// The installer's code for a log it cannot open: /l names a file that cannot be created.
enum { kLogNotCreated = 1622 };

// Shows the switches and the exit codes (the string-table row, or the built-in English
// text) in an information box; nothing under /q.
void ShowUsage();

// Shows IDS_SUCCESS as the success text and every other code as a failure, captioned
// with g_strTitle; shows nothing when g_bQuiet is set. Failures are remembered for
// the exit code either way.
void ShowMessage(int nCode);
