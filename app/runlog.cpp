// What a run logs about itself: the launcher, its command line, the machine, the installer.
#include "app/runlog.h"

#include "app/globals.h"
#include "framework/winapp.h"
#include "messages/log.h"
#include "payload/restart.h"
#include "res/resource.h"

// The file version of the version resource's fixed part ("a.b.c.d"), or "unknown".
static CString LauncherVersion()
{
    const BYTE* pData = NULL;
    DWORD cbData = 0;
    if (FwLockResource(g_hInstance, MAKEINTRESOURCEA(IDR_VERSION), MAKEINTRESOURCEA(16), &pData, &cbData) != 0)
        return "unknown";
    // The fixed part starts with its signature, on a 32-bit boundary after the block's key.
    for (DWORD i = 0; i + 16 <= cbData; i += 4) {
        DWORD adwFixed[4];
        memcpy(adwFixed, pData + i, sizeof adwFixed);
        if (adwFixed[0] != 0xFEEF04BDu)
            continue;
        CString strVersion;
        strVersion.Format("%u.%u.%u.%u", adwFixed[2] >> 16, adwFixed[2] & 0xFFFF, adwFixed[3] >> 16,
                          adwFixed[3] & 0xFFFF);
        return strVersion;
    }
    return "unknown";
}

// The local time's offset from UTC, "UTC+hh:mm" or "UTC-hh:mm"; "UTC" when unknown.
static CString UtcOffset()
{
    TIME_ZONE_INFORMATION zone;
    const DWORD dwZone = GetTimeZoneInformation(&zone);
    if (dwZone == TIME_ZONE_ID_INVALID)
        return "UTC";
    // The bias is what the local time needs to become UTC.
    const LONG nBias = zone.Bias + (dwZone == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
    const DWORD dwMinutes = static_cast<DWORD>(nBias < 0 ? -nBias : nBias);
    CString strOffset(nBias <= 0 ? "UTC+" : "UTC-");
    AppendNumber(strOffset, dwMinutes / 60, 10, 2);
    strOffset += ':';
    AppendNumber(strOffset, dwMinutes % 60, 10, 2);
    return strOffset;
}

void LogLauncherStart()
{
    if (!IsLogging())
        return;
    // Who ran where, and when: a log gathered from many machines reads without guessing.
    char szComputer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD cchComputer = sizeof szComputer;
    char szUser[257];
    DWORD cchUser = sizeof szUser;
    LogFormat("start", "computer %s, user %s, local time %s",
              GetComputerNameA(szComputer, &cchComputer) ? szComputer : "(unknown)",
              GetUserNameA(szUser, &cchUser) ? szUser : "(unknown)", UtcOffset());
    LogFormat("start", "splaunch %s, command line: %s", LauncherVersion(), GetCommandLineA());
    DWORD dwPlatformId = 0;
    DWORD dwMajor = 0;
    DWORD dwMinor = 0;
    GetOsVersion(&dwPlatformId, &dwMajor, &dwMinor);
    LogFormat("system", "platform %u (%s), version %u.%u", dwPlatformId,
              dwPlatformId == VER_PLATFORM_WIN32_NT ? "NT family" : "Windows 95/98 family", dwMajor, dwMinor);
    char szFolder[1024];
    const DWORD nTemp = GetTempPathA(sizeof szFolder, szFolder);
    LogFormat("system", "temporary folder: %s", nTemp > 0 && nTemp < sizeof szFolder ? szFolder : "(none)");
    const UINT nWindows = GetWindowsDirectoryA(szFolder, sizeof szFolder);
    LogFormat("system", "Windows folder: %s", nWindows > 0 && nWindows < sizeof szFolder ? szFolder : "(none)");
    const UINT nSystem = GetSystemDirectoryA(szFolder, sizeof szFolder);
    LogFormat("system", "system folder: %s", nSystem > 0 && nSystem < sizeof szFolder ? szFolder : "(none)");
}

void LogInstallerLibrary()
{
    if (!IsLogging())
        return;
    char szPath[1024];
    if (GetInstallerLibraryPath(szPath, sizeof szPath) != 0)
        LogFormat("installer", "msi.dll loaded from %s", szPath);
    else
        LogFormat("installer", "msi.dll could not be loaded (error %u): every installer call fails", GetLastError());
}
