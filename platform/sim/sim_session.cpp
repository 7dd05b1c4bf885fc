// The simulated session: the clock, named mutexes, the computer's and the user's names, the time zone, and restarts.
#include "platform/sim/sim.h"

namespace {
// Mutex handles are the names they were opened by.
std::map<HANDLE, std::string> g_mutexes;

// Whether another installation holds the named mutex at this moment.
bool IsHeld(const std::string& name)
{
    auto it = Sim().mutexHeldUntil.find(name);
    return it != Sim().mutexHeldUntil.end() && it->second > Sim().tickCount;
}

BOOL WINAPI SimOpenProcessToken(HANDLE, DWORD dwAccess, PHANDLE phToken)
{
    SimLogCall("OpenProcessToken", SimHex{dwAccess});
    static int s_token;
    *phToken = &s_token;
    return TRUE;
}

BOOL WINAPI SimLookupPrivilegeValueA(LPCSTR, LPCSTR lpName, PLUID lpLuid)
{
    SimLogCall("LookupPrivilegeValueA", SimQuoted{lpName});
    lpLuid->LowPart = 19;
    lpLuid->HighPart = 0;
    return TRUE;
}

BOOL WINAPI SimAdjustTokenPrivileges(HANDLE, BOOL, PTOKEN_PRIVILEGES pNew, DWORD, PTOKEN_PRIVILEGES, LPDWORD)
{
    SimLogCall("AdjustTokenPrivileges", pNew->PrivilegeCount, pNew->Privileges[0].Luid.LowPart,
               pNew->Privileges[0].Attributes);
    // Like the platform: success even when the token lacks the privilege, which the last error tells.
    Sim().lastError = Sim().bNoShutdownPrivilege ? ERROR_NOT_ALL_ASSIGNED : ERROR_SUCCESS;
    return TRUE;
}
}  // namespace

FARPROC SimTokenFunction(const char* pszName)
{
    if (strcmp(pszName, "OpenProcessToken") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimOpenProcessToken));
    if (strcmp(pszName, "LookupPrivilegeValueA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimLookupPrivilegeValueA));
    if (strcmp(pszName, "AdjustTokenPrivileges") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimAdjustTokenPrivileges));
    return NULL;
}

bool SimIsInstallerBusy()
{
    for (const auto& mutex : Sim().mutexHeldUntil)
        if (mutex.first.find("_MSIExecute") != std::string::npos && IsHeld(mutex.first))
            return true;
    return false;
}

HANDLE WINAPI OpenMutexA(DWORD dwDesiredAccess, BOOL, LPCSTR lpName)
{
    SimLogCall("OpenMutexA", SimHex{dwDesiredAccess}, SimQuoted{lpName});
    // A mutex exists while its holder has it (the installer makes it for each installation).
    if (!IsHeld(lpName)) {
        Sim().lastError = ERROR_FILE_NOT_FOUND;
        return NULL;
    }
    static uintptr_t s_nNext = 0x5000;
    HANDLE hMutex = reinterpret_cast<HANDLE>(s_nNext += 4);
    g_mutexes[hMutex] = lpName;
    ++Sim().openMutexCount;
    return hMutex;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    auto it = g_mutexes.find(hHandle);
    SimLogCall("WaitForSingleObject", it == g_mutexes.end() ? std::string("?") : it->second, dwMilliseconds);
    if (it == g_mutexes.end())
        return WAIT_FAILED;
    const DWORD dwHeldUntil = IsHeld(it->second) ? Sim().mutexHeldUntil[it->second] : Sim().tickCount;
    if (dwHeldUntil - Sim().tickCount > dwMilliseconds) {
        Sim().tickCount += dwMilliseconds;
        return WAIT_TIMEOUT;
    }
    Sim().tickCount = dwHeldUntil;
    ++Sim().ownedMutexCount;
    return Sim().bMutexAbandoned ? WAIT_ABANDONED : WAIT_OBJECT_0;
}

BOOL WINAPI ReleaseMutex(HANDLE hMutex)
{
    auto it = g_mutexes.find(hMutex);
    SimLogCall("ReleaseMutex", it == g_mutexes.end() ? std::string("?") : it->second);
    if (it == g_mutexes.end() || Sim().ownedMutexCount == 0)
        return FALSE;
    --Sim().ownedMutexCount;
    return TRUE;
}

// Mutex handles close here; every other handle is a file's (sim_files.cpp).
bool SimCloseMutex(HANDLE hObject)
{
    auto it = g_mutexes.find(hObject);
    if (it == g_mutexes.end())
        return false;
    SimLogCall("CloseHandle", it->second);
    g_mutexes.erase(it);
    --Sim().openMutexCount;
    return true;
}

void WINAPI Sleep(DWORD dwMilliseconds)
{
    SimLogCall("Sleep", dwMilliseconds);
    Sim().tickCount += dwMilliseconds;
}

HANDLE WINAPI GetCurrentProcess(void) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)); }

BOOL WINAPI ExitWindowsEx(UINT uFlags, DWORD dwReason)
{
    SimLogCall("ExitWindowsEx", uFlags, SimHex{dwReason});
    Sim().exitWindowsCalls.push_back({uFlags, dwReason});
    return Sim().bExitWindowsFails ? FALSE : TRUE;
}

// Both names as the platform gives them: the length without the NUL on success, else the room needed.
static BOOL CopyName(const std::string& name, LPSTR lpBuffer, LPDWORD pnSize, bool bCountNul)
{
    if (name.size() + 1 > *pnSize) {
        *pnSize = static_cast<DWORD>(name.size() + 1);
        Sim().lastError = ERROR_MORE_DATA;
        return FALSE;
    }
    memcpy(lpBuffer, name.c_str(), name.size() + 1);
    *pnSize = static_cast<DWORD>(name.size() + (bCountNul ? 1 : 0));
    return TRUE;
}

BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) { return CopyName(Sim().computerName, lpBuffer, nSize, false); }

BOOL WINAPI GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer) { return CopyName(Sim().userName, lpBuffer, pcbBuffer, true); }

DWORD WINAPI GetTimeZoneInformation(LPTIME_ZONE_INFORMATION lpTimeZoneInformation)
{
    memset(lpTimeZoneInformation, 0, sizeof *lpTimeZoneInformation);
    lpTimeZoneInformation->Bias = Sim().timeZoneBias;
    lpTimeZoneInformation->DaylightBias = -60;
    return Sim().bDaylightTime ? TIME_ZONE_ID_DAYLIGHT : 1;
}
