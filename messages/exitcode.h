// The process exit code: the first failure reported, else the first notable installer result.
#pragma once

#include "platform/win32.h"

// Remembers a failure code handed to the reporting operation (shown or silenced).
void NoteFailure(int nCode);
// Remembers an installer result that is not a failure but should reach the caller
// (a cancel, a restart started or a restart needed).
void NoteInstallerOutcome(UINT nResult);
// 0 when nothing was noted; otherwise the first failure, else the first outcome.
int GetRunExitCode();
// Forgets everything noted (the start of a run).
void ResetRunExitCode();
// Logs the exit code and what decided it.
void LogRunExitCode();
