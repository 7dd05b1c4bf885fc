// The patch description resource and the patch identity suffix formed from it.
#pragma once

#include "framework/string.h"

// Loads the description resource and forms the patch identity suffix
// (" PATCHTITLE=\"...\" PATCHGUID=\"...\"") into strSuffix. Returns 0, or the code
// (101 to 104) of the resource step that failed; shows nothing itself.
int LoadPatchDescription(CString& strSuffix);

// Forms the suffix from a description text: CR LF lines of key=value, read up to the
// first line without "=" or the last complete line.
CString FormPatchIdentitySuffix(const CString& strText);
