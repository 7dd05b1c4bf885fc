// The one reporting operation: a code becomes a modal message box, or nothing under /q.
#pragma once

// Message ids in the string table; a failure code with a row of its own shows that row.
enum { IDS_ERROR_FORMAT = 300, IDS_SUCCESS = 301, IDS_NOT_INSTALLED = 307, IDS_WRONG_VERSION = 308 };

// Shows code 301 as the success text and every other code as a failure, captioned
// with g_strTitle; shows nothing when g_bQuiet is set. Failures are remembered for
// the exit code either way.
void ShowMessage(int nCode);
