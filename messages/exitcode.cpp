// The process exit code: the first failure reported, else the first notable installer result.
#include "messages/exitcode.h"

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
