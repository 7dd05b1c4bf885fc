// The one reporting operation: a code becomes a modal message box, or nothing under /q.
#pragma once

#include "res/resource.h"

// Shows IDS_SUCCESS as the success text and every other code as a failure, captioned
// with g_strTitle; shows nothing when g_bQuiet is set. Failures are remembered for
// the exit code either way.
void ShowMessage(int nCode);
