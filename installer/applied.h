// Whether the installer lists the patch among a product's applied patches.
#pragma once

#include "framework/string.h"

// TRUE when one of the product's applied patches has the code strPatchCode (compared
// without regard to case); FALSE when none has, or the installer cannot tell.
BOOL IsPatchApplied(const CString& strProductCode, const CString& strPatchCode);
