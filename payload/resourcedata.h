// Reaching the bytes of one of the executable's own resources, with the step that failed.
#pragma once

#include "platform/win32.h"

// Codes of the four resource steps, the same for every resource.
enum { kResourceNotFound = 101, kResourceEmpty = 102, kResourceNotLoaded = 103, kResourceNotLocked = 104 };

// Finds, sizes, loads and locks the resource in g_hInstance. Returns 0 with the data
// and its size, or the code of the first step that failed.
int LockResourceData(LPCSTR pszName, LPCSTR pszType, const BYTE** ppData, DWORD* pcbData);
