// Deleting a file at the next system start: the rename list or the delayed move.
#pragma once

#include "framework/string.h"

// The platform id, major and minor version; a failed query leaves them zero.
void GetOsVersion(DWORD* pdwPlatformId, DWORD* pdwMajorVersion, DWORD* pdwMinorVersion);
BOOL IsWindows95();
BOOL IsWindows98();
// Registers strPath for deletion at the next start; TRUE when the platform has it.
BOOL DeleteAtRestart(const CString& strPath);
