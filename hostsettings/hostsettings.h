// The host application's registry settings read and removed around each patch.
#pragma once

#include "framework/string.h"

// Whether the host at HKLM\<host key> is a network installation ("StandaloneNetworkType" is 4).
BOOL IsNetworkInstall(const CString& strHostKey);
// Removes HKLM\Software\Tessaran\Kestrune\<product code>, the update service's entry.
void DeleteUpdateServiceKey(const CString& strProductCode);
// Removes "Today_WorkMode" of the current profile and of "<<Unnamed Profile>>" under
// HKCU\<profiles key>.
void ClearWorkMode(LPCSTR pszProfilesKey);
// What DeleteUpdateServiceKey and ClearWorkMode would remove for a product, read without
// changing anything: the keys and values that are there, "; "-separated.
CString PlanHostSettings(const CString& strProductCode, const CString& strHostKey);
