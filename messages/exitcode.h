// The process exit code: the first failure reported, else a restart started or needed, else a cancel.
#pragma once

#include "platform/win32.h"

// Remembers a failure code handed to the reporting operation (shown or silenced).
void NoteFailure(int nCode);
// Remembers an installer result that is not a failure but should reach the caller: a
// cancel (1602), or a restart the installer needs (3010) or started (1641).
void NoteInstallerOutcome(UINT nResult);
// Whether an installer call of the run needs a restart to finish.
bool IsRestartNeeded();
// The launcher starts the restart (1641), or could not start it after all (3010).
void NoteRestartStarted(bool bStarted);
// The first failure; else 1641 when the launcher started the restart, 3010 when one is
// needed; else 1602 after a cancel; else 0.
int GetRunExitCode();
// Forgets everything noted (the start of a run).
void ResetRunExitCode();
// Logs the exit code and what decided it.
void LogRunExitCode();
