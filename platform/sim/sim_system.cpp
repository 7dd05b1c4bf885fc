// The simulated system: version, directories, delayed moves, locale, heap and text helpers.
#include "platform/sim/sim.h"

namespace {
// Copies text into a caller's buffer the way the directory queries do: the length
// without NUL when it fits, else the size needed with the NUL and nothing written.
DWORD CopyDirectory(const std::string& text, long forcedResult, LPSTR lpBuffer, DWORD nSize)
{
    if (forcedResult >= 0)
        return static_cast<DWORD>(forcedResult);
    if (text.size() + 1 > nSize)
        return static_cast<DWORD>(text.size() + 1);
    memcpy(lpBuffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

int g_heap;
}  // namespace

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation)
{
    SimLogCall("GetVersionExA", lpVersionInformation->dwOSVersionInfoSize);
    if (Sim().bVersionQueryFails || lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return FALSE;
    lpVersionInformation->dwPlatformId = Sim().platformId;
    lpVersionInformation->dwMajorVersion = Sim().majorVersion;
    lpVersionInformation->dwMinorVersion = Sim().minorVersion;
    return TRUE;
}

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer)
{
    SimLogCall("GetTempPathA", nBufferLength);
    return CopyDirectory(Sim().tempPath, Sim().tempPathResult, lpBuffer, nBufferLength);
}

UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    SimLogCall("GetSystemDirectoryA", uSize);
    return CopyDirectory(Sim().systemDirectory, -1, lpBuffer, uSize);
}

UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    SimLogCall("GetWindowsDirectoryA", uSize);
    return CopyDirectory(Sim().windowsDirectory, Sim().windowsDirectoryResult, lpBuffer, uSize);
}

BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags)
{
    SimLogCall("MoveFileExA", SimQuoted{lpExistingFileName}, lpNewFileName, dwFlags);
    if (Sim().bMoveFileExFails || lpNewFileName != NULL || dwFlags != MOVEFILE_DELAY_UNTIL_REBOOT)
        return FALSE;
    Sim().pendingDeletes.push_back(lpExistingFileName);
    return TRUE;
}

DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart)
{
    SimLogCall("GetFullPathNameA", SimQuoted{lpFileName}, nBufferLength);
    const std::string path = lpFileName;
    // A device name in any folder and with any extension names the device itself.
    const size_t nSlash = path.find_last_of("\\/:");
    std::string base = path.substr(nSlash == std::string::npos ? 0 : nSlash + 1);
    base = base.substr(0, base.find('.'));
    static const char* const kDevices[] = {"NUL", "CON", "PRN", "AUX", "COM1", "LPT1"};
    std::string full;
    for (const char* pszDevice : kDevices)
        if (strcasecmp(base.c_str(), pszDevice) == 0)
            full = "\\\\.\\" + std::string(pszDevice);
    if (full.empty() && (path.compare(0, 2, "\\\\") == 0 || (path.size() >= 2 && path[1] == ':')))
        full = path;  // a full path already
    else if (full.empty() && !path.empty() && (path[0] == '\\' || path[0] == '/'))
        full = Sim().currentDirectory.substr(0, 2) + path;  // from the root of the current drive
    else if (full.empty())
        full = Sim().currentDirectory + "\\" + path;
    if (full.size() + 1 > nBufferLength)
        return static_cast<DWORD>(full.size() + 1);
    memcpy(lpBuffer, full.c_str(), full.size() + 1);
    if (lpFilePart != NULL)
        *lpFilePart = lpBuffer + full.find_last_of('\\') + 1;
    return static_cast<DWORD>(full.size());
}

DWORD WINAPI GetTickCount(void) { return Sim().tickCount; }

BOOL WINAPI SetThreadLocale(LCID Locale)
{
    SimLogCall("SetThreadLocale", Locale);
    Sim().threadLocale = Locale;
    return TRUE;
}

HANDLE WINAPI GetProcessHeap(void) { return &g_heap; }

LPVOID WINAPI HeapAlloc(HANDLE, DWORD, size_t dwBytes)
{
    SimMachine& machine = Sim();
    if (machine.allocationsBeforeFailure == 0) {
        if (machine.failingAllocations > 0) {
            --machine.failingAllocations;
            return NULL;
        }
        machine.allocationsBeforeFailure = -1;
    } else if (machine.allocationsBeforeFailure > 0) {
        --machine.allocationsBeforeFailure;
    }
    return malloc(dwBytes);
}

BOOL WINAPI HeapFree(HANDLE, DWORD, LPVOID lpMem)
{
    free(lpMem);
    return TRUE;
}

LPSTR WINAPI lstrcpyA(LPSTR lpString1, LPCSTR lpString2) { return strcpy(lpString1, lpString2); }

LPSTR WINAPI lstrcatA(LPSTR lpString1, LPCSTR lpString2) { return strcat(lpString1, lpString2); }

int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) { return strcasecmp(lpString1, lpString2); }

int WINAPI lstrlenA(LPCSTR lpString) { return lpString == NULL ? 0 : static_cast<int>(strlen(lpString)); }

DWORD WINAPI GetCurrentProcessId(void) { return 0x0a1c; }

DWORD WINAPI GetCurrentThreadId(void) { return 0x0b20; }

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime)
{
    const SYSTEMTIME now = {2026, 12, 0, 6, 21, 5, 3, 0};
    *lpSystemTime = now;
}

LPSTR WINAPI GetCommandLineA(void)
{
    // As the platform keeps it: the arguments joined by blanks, quoted where they hold one.
    static std::string s_line;
    s_line.clear();
    for (const std::string& arg : Sim().args)
        s_line += (s_line.empty() ? "" : " ") + (arg.find(' ') == std::string::npos ? arg : "\"" + arg + "\"");
    return &s_line[0];
}
