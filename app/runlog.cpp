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

void LogLauncherStart()
{
    if (!IsLogging())
        return;
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
