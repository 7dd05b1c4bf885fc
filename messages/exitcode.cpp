// The process exit code: the first failure reported, else the first notable installer result.
#include "messages/exitcode.h"

#include "messages/log.h"

static int s_nFirstFailure = 0;
static int s_nFirstOutcome = 0;

void NoteFailure(int nCode)
{
    if (s_nFirstFailure == 0)
        s_nFirstFailure = nCode;
}

void NoteInstallerOutcome(UINT nResult)
{
    if (s_nFirstOutcome == 0)
        s_nFirstOutcome = static_cast<int>(nResult);
}

int GetRunExitCode() { return s_nFirstFailure != 0 ? s_nFirstFailure : s_nFirstOutcome; }

void ResetRunExitCode()
{
    s_nFirstFailure = 0;
    s_nFirstOutcome = 0;
}

void LogRunExitCode()
{
    if (s_nFirstFailure != 0)
        LogFormat("end", "exit code %d: the first failure reported", s_nFirstFailure);
    else if (s_nFirstOutcome == 1602)
        LogEvent("end", "exit code 1602: nothing failed, but the installer was cancelled");
    else if (s_nFirstOutcome != 0)
        LogFormat("end", "exit code %d: nothing failed; the installer started or needs a restart", s_nFirstOutcome);
    else
        LogEvent("end", "exit code 0: nothing failed");
}
