// Waiting for the installer while another installation runs, within one waiting budget for the run.
//
// While an installation runs, the installer holds a named mutex; a configure call made
// meanwhile is refused at once (1618). The launcher waits for the mutex instead, and lets
// it go the moment it has it: keeping it would block the very installer it then calls.
#include "installer/busy.h"

#include "messages/log.h"
#include "payload/restart.h"

static const DWORD kMinute = 60000;
static const DWORD kRetryPause = 10000;  // after a refusal with no mutex to wait for

static DWORD s_dwBudget = 0;  // milliseconds the run may still wait

void StartWaitingBudget(DWORD dwSeconds) { s_dwBudget = dwSeconds * 1000; }

// The installer's mutex: in the global name space where there is one (NT 5 and later).
static const char* ExecuteMutexName()
{
    DWORD dwPlatformId = 0;
    DWORD dwMajor = 0;
    DWORD dwMinor = 0;
    GetOsVersion(&dwPlatformId, &dwMajor, &dwMinor);
    return dwPlatformId == VER_PLATFORM_WIN32_NT && dwMajor >= 5 ? "Global\\_MSIExecute" : "_MSIExecute";
}

BOOL IsInstallerBusy()
{
    HANDLE hMutex = OpenMutexA(SYNCHRONIZE, FALSE, ExecuteMutexName());
    if (hMutex == NULL)
        return FALSE;
    (void)CloseHandle(hMutex);
    return TRUE;
}

// Waits for the open mutex, a minute at a time, while budget is left; takes what the wait
// took off the budget. TRUE once the mutex was had (and let go).
static BOOL WaitForMutex(HANDLE hMutex)
{
    LogFormat("installer", "another installation is running: waiting for it for at most %u seconds",
              s_dwBudget / 1000);
    const DWORD dwStart = GetTickCount();
    for (;;) {
        const DWORD dwWaited = GetTickCount() - dwStart;
        const DWORD dwLeft = dwWaited < s_dwBudget ? s_dwBudget - dwWaited : 0;
        const DWORD dwResult = WaitForSingleObject(hMutex, dwLeft < kMinute ? dwLeft : kMinute);
        const DWORD dwNow = GetTickCount() - dwStart;
        if (dwResult == WAIT_OBJECT_0 || dwResult == WAIT_ABANDONED) {
            (void)ReleaseMutex(hMutex);
            s_dwBudget -= dwNow < s_dwBudget ? dwNow : s_dwBudget;
            LogFormat("installer", "the other installation ended after %u seconds", dwNow / 1000);
            return TRUE;
        }
        if (dwResult != WAIT_TIMEOUT || dwNow >= s_dwBudget) {
            // No more waiting in this run: a wait that fails would otherwise repeat at once.
            s_dwBudget = 0;
            if (dwResult == WAIT_TIMEOUT)
                LogFormat("installer", "still busy after %u seconds: no more waiting, the installer decides",
                          dwNow / 1000);
            else
                LogFormat("installer", "the wait failed (error %u): no more waiting, the installer decides",
                          GetLastError());
            return FALSE;
        }
        LogFormat("installer", "still busy after %u minutes", dwNow / kMinute);
    }
}

void WaitForInstaller()
{
    if (s_dwBudget == 0)
        return;
    HANDLE hMutex = OpenMutexA(SYNCHRONIZE, FALSE, ExecuteMutexName());
    if (hMutex == NULL)
        return;
    (void)WaitForMutex(hMutex);
    (void)CloseHandle(hMutex);
}

BOOL WaitBeforeRetry()
{
    if (s_dwBudget == 0)
        return FALSE;
    HANDLE hMutex = OpenMutexA(SYNCHRONIZE, FALSE, ExecuteMutexName());
    if (hMutex != NULL) {
        (void)WaitForMutex(hMutex);
        (void)CloseHandle(hMutex);
        return TRUE;
    }
    const DWORD dwPause = s_dwBudget < kRetryPause ? s_dwBudget : kRetryPause;
    LogFormat("installer", "busy, with no installation to wait for: trying again in %u seconds", dwPause / 1000);
    Sleep(dwPause);
    s_dwBudget -= dwPause;
    return TRUE;
}
