// Deleting a file at the next system start: the rename list or the delayed move.
#include "payload/restart.h"

BOOL GetOsVersion(DWORD* pdwPlatformId, DWORD* pdwMajorVersion, DWORD* pdwMinorVersion)
{
    *pdwPlatformId = *pdwMajorVersion = *pdwMinorVersion = 0;
    return TRUE;
}

BOOL IsWindows95() { return FALSE; }

BOOL IsWindows98() { return FALSE; }

BOOL DeleteAtRestart(const CString&) { return FALSE; }
