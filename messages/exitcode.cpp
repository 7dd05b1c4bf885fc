// The process exit code: the first failure reported, else a restart started or needed, else a cancel.
#include "messages/exitcode.h"

#include "messages/log.h"

static int s_nFirstFailure = 0;
static bool s_bCancelled = false;
static bool s_bRestartNeeded = false;
static bool s_bRestartStarted = false;

void NoteFailure(int nCode)
{
    if (s_nFirstFailure == 0)
        s_nFirstFailure = nCode;
}

void NoteInstallerOutcome(UINT nResult)
{
    if (nResult == ERROR_INSTALL_USEREXIT)
        s_bCancelled = true;
    else if (nResult == ERROR_SUCCESS_REBOOT_REQUIRED || nResult == ERROR_SUCCESS_REBOOT_INITIATED)
        s_bRestartNeeded = true;
}

bool IsRestartNeeded() { return s_bRestartNeeded; }

void NoteRestartStarted(bool bStarted) { s_bRestartStarted = bStarted; }

int GetRunExitCode()
{
    if (s_nFirstFailure != 0)
        return s_nFirstFailure;
    if (s_bRestartNeeded)
        return s_bRestartStarted ? ERROR_SUCCESS_REBOOT_INITIATED : ERROR_SUCCESS_REBOOT_REQUIRED;
    return s_bCancelled ? ERROR_INSTALL_USEREXIT : 0;
}

void ResetRunExitCode()
{
    s_nFirstFailure = 0;
    s_bCancelled = false;
    s_bRestartNeeded = false;
    s_bRestartStarted = false;
}

void LogRunExitCode()
{
    const char* pszWhy = s_nFirstFailure != 0 ? "the first failure reported"
                         : s_bRestartNeeded   ? "nothing failed; the update needs a restart to finish"
                         : s_bCancelled       ? "nothing failed, but the installer was cancelled"
                                              : "nothing failed";
    const char* pszRestart = !s_bRestartNeeded   ? ""
                             : s_bRestartStarted ? "; restarting the computer"
                             : s_nFirstFailure != 0 ? "; a restart is needed too, and was not started"
                                                    : "; the restart is left to the caller";
    LogFormat("end", "exit code %d: %s%s", GetRunExitCode(), pszWhy, pszRestart);
}
