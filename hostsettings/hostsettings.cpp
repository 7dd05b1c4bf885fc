// The host application's registry settings read and removed around each patch.
#include "hostsettings/hostsettings.h"

BOOL IsNetworkInstall(const CString&) { return FALSE; }

void DeleteUpdateServiceKey(const CString&) {}

void ClearWorkMode(LPCSTR) {}
