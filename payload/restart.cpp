// Deleting a file at the next system start: the rename list or the delayed move.
#include "payload/restart.h"

#include "messages/log.h"
#include "payload/renamelist.h"

void GetOsVersion(DWORD* pdwPlatformId, DWORD* pdwMajorVersion, DWORD* pdwMinorVersion)
{
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    // A failed query leaves the record zero-filled, which reads as no known platform.
    (void)GetVersionExA(&info);
    *pdwPlatformId = info.dwPlatformId;
    *pdwMajorVersion = info.dwMajorVersion;
    *pdwMinorVersion = info.dwMinorVersion;
}

namespace {
struct OsVersion {
    DWORD dwPlatformId;
    DWORD dwMajor;
    DWORD dwMinor;
};

OsVersion QueryOsVersion()
{
    OsVersion version;
    GetOsVersion(&version.dwPlatformId, &version.dwMajor, &version.dwMinor);
    return version;
}

// The 9x family with the given minor version; the major version is not examined.
bool IsWindows9xMinor(const OsVersion& version, DWORD dwMinor)
{
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMinor == dwMinor;
}
bool IsWindows95(const OsVersion& version) { return IsWindows9xMinor(version, 0); }
bool IsWindows98(const OsVersion& version) { return IsWindows9xMinor(version, 10); }
}  // namespace

BOOL IsWindows95() { return IsWindows95(QueryOsVersion()); }

BOOL IsWindows98() { return IsWindows98(QueryOsVersion()); }

BOOL DeleteAtRestart(const CString& strPath)
{
    const OsVersion version = QueryOsVersion();
    const bool bRenameList = IsWindows98(version) || IsWindows95(version);
    const BOOL bDone = bRenameList                                               ? AddToRenameList(strPath)
                       : MoveFileExA(strPath, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) ? TRUE
                                                                                 : FALSE;
    LogFormat("restart", "%s: %s for deletion at the next restart through %s", strPath,
              bDone ? "left" : "could not be left", bRenameList ? "wininit.ini" : "the delayed move");
    return bDone;
}
