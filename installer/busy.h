// Waiting for the installer while another installation runs, within one waiting budget for the run.
#pragma once

#include "platform/win32.h"

// Sets the run's waiting budget, in seconds (0: never wait).
void StartWaitingBudget(DWORD dwSeconds);
// Waits while another installation holds the installer's execution mutex, at most for what
// is left of the budget; the mutex, once had, is let go at once. The caller then calls
// the installer whatever the outcome: the installer decides.
void WaitForInstaller();
// After the installer answered that it is busy: waits for it again (or a while, when the
// other installation holds nothing the launcher can see). FALSE when no budget is left,
// so the answer stands.
BOOL WaitBeforeRetry();
// Whether another installation runs now; for /plan, which does not wait.
BOOL IsInstallerBusy();
