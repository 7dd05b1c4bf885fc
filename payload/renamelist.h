// The rename list of the Windows 95/98 family: wininit.ini in the Windows directory.
#pragma once

#include "framework/string.h"

// Adds "NUL=<path>" at the end of the list's first [rename] section (or in a new one at
// its end), so the platform deletes the file when it next starts. TRUE when the list on
// disk holds the entry. Every other byte of the list is kept as it was.
BOOL AddToRenameList(const CString& strPath);
