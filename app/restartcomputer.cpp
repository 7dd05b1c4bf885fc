// The one restart of a run: decided once the run is over, by the switches or the user, and started by the launcher.
//
// Every configuring call asks the installer not to restart, so that a run that patches
// several products ends them all, schedules its packages for deletion and finishes its
// log before the computer goes down.
#include "app/restartcomputer.h"

#include "app/globals.h"
#include "messages/exitcode.h"
#include "messages/log.h"
#include "messages/messages.h"
#include "payload/restart.h"

// Looked up at run time, like the other security functions: the imports stay those of
// every system the launcher starts on.
typedef BOOL(WINAPI* OpenProcessTokenFn)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI* LookupPrivilegeValueFn)(LPCSTR, LPCSTR, PLUID);
typedef BOOL(WINAPI* AdjustTokenPrivilegesFn)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, LPDWORD);

// The reason the system records: a planned restart for an application's installation.
static const DWORD kRestartReason =
    SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED;

bool ChooseRestart()
{
    if (!IsRestartNeeded())
        return false;
    if (g_bNoRestart) {
        LogEvent("restart", "the update needs a restart; /norestart leaves it to the caller");
        return false;
    }
    if (g_bForceRestart) {
        LogEvent("restart", "the update needs a restart; /forcerestart starts it without asking");
        return true;
    }
    if (g_bQuiet) {
        LogFormat("restart", "the update needs a restart; %s leaves it to the caller", g_bQuietInstaller ? "/qn" : "/q");
        return false;
    }
    return AskToRestart() != FALSE;
}

template <typename Fn>
static Fn AdvapiFunction(HMODULE hAdvapi, const char* pszName)
{
    return hAdvapi == NULL ? NULL : reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(hAdvapi, pszName)));
}

// Enables the shutdown privilege of the process's token; FALSE, logged, when it cannot.
static bool EnableShutdownPrivilege()
{
    HMODULE hAdvapi = GetModuleHandleA("advapi32.dll");
    const OpenProcessTokenFn pfnOpen = AdvapiFunction<OpenProcessTokenFn>(hAdvapi, "OpenProcessToken");
    const LookupPrivilegeValueFn pfnLookup = AdvapiFunction<LookupPrivilegeValueFn>(hAdvapi, "LookupPrivilegeValueA");
    const AdjustTokenPrivilegesFn pfnAdjust = AdvapiFunction<AdjustTokenPrivilegesFn>(hAdvapi, "AdjustTokenPrivileges");
    if (pfnOpen == NULL || pfnLookup == NULL || pfnAdjust == NULL) {
        LogEvent("restart", "the token functions are missing: the shutdown privilege cannot be enabled");
        return false;
    }
    HANDLE hToken = NULL;
    if (!pfnOpen(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken)) {
        LogFormat("restart", "the process's token cannot be opened (error %u)", GetLastError());
        return false;
    }
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool bEnabled = pfnLookup(NULL, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) != FALSE;
    // The adjustment succeeds also when the token lacks the privilege; the last error tells.
    bEnabled = bEnabled && pfnAdjust(hToken, FALSE, &privileges, 0, NULL, NULL) && GetLastError() == ERROR_SUCCESS;
    if (!bEnabled)
        LogFormat("restart", "the shutdown privilege cannot be enabled (error %u)", GetLastError());
    (void)CloseHandle(hToken);
    return bEnabled;
}

bool RestartComputer()
{
    DWORD dwPlatformId = 0;
    DWORD dwMajor = 0;
    DWORD dwMinor = 0;
    GetOsVersion(&dwPlatformId, &dwMajor, &dwMinor);
    const bool bNt = dwPlatformId == VER_PLATFORM_WIN32_NT;
    if (bNt && !EnableShutdownPrivilege())
        return false;
    // Other programs are asked to end, not forced.
    if (!ExitWindowsEx(EWX_REBOOT, bNt ? kRestartReason : 0)) {
        LogFormat("restart", "the system refused to restart (error %u)", GetLastError());
        return false;
    }
    return true;
}
