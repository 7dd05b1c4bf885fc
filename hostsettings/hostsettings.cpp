// The host application's registry settings read and removed around each patch.
#include "hostsettings/hostsettings.h"

static const char kDefaultProfile[] = "<<Unnamed Profile>>";
static const char kConfiguration[] = "\\General Configuration";
static const char kWorkMode[] = "Today_WorkMode";

BOOL IsNetworkInstall(const CString& strHostKey)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, strHostKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return FALSE;
    // Shorter data fills the start of the field; the rest stays zero.
    DWORD dwValue = 0;
    DWORD cbValue = sizeof dwValue;
    const LONG lResult =
        RegQueryValueExA(hKey, "StandaloneNetworkType", NULL, NULL, reinterpret_cast<LPBYTE>(&dwValue), &cbValue);
    (void)RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS && dwValue == 4;
}

void DeleteUpdateServiceKey(const CString& strProductCode)
{
    CString strKey;
    strKey.Format("Software\\Tessaran\\Kestrune\\%s", strProductCode);
    (void)RegDeleteKeyA(HKEY_LOCAL_MACHINE, strKey);
}

// Forms "<profiles key>\<profile>\General Configuration"; FALSE when it does not fit.
static BOOL FormConfigurationKey(char (&szKey)[1024], LPCSTR pszProfilesKey, LPCSTR pszProfile)
{
    const int nLength =
        lstrlenA(pszProfilesKey) + 1 + lstrlenA(pszProfile) + static_cast<int>(sizeof kConfiguration - 1);
    if (nLength >= static_cast<int>(sizeof szKey))
        return FALSE;
    (void)lstrcpyA(szKey, pszProfilesKey);
    (void)lstrcatA(szKey, "\\");
    (void)lstrcatA(szKey, pszProfile);
    (void)lstrcatA(szKey, kConfiguration);
    return TRUE;
}

// Removes "Today_WorkMode" under HKCU\<key>; FALSE when the key cannot be opened for writing.
static BOOL RemoveWorkMode(LPCSTR pszKey)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, pszKey, 0, KEY_WRITE, &hKey) != ERROR_SUCCESS)
        return FALSE;
    // A value already absent is as good as removed.
    (void)RegDeleteValueA(hKey, kWorkMode);
    (void)RegCloseKey(hKey);
    return TRUE;
}

void ClearWorkMode(LPCSTR pszProfilesKey)
{
    char szProfilesKey[256];
    if (lstrlenA(pszProfilesKey) >= static_cast<int>(sizeof szProfilesKey))
        return;
    (void)lstrcpyA(szProfilesKey, pszProfilesKey);

    // The profiles key's default value names the current profile.
    HKEY hKey = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, szProfilesKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return;
    char szProfile[256];
    memset(szProfile, 0, sizeof szProfile);
    DWORD cbProfile = sizeof szProfile;
    const LONG lResult = RegQueryValueExA(hKey, "", NULL, NULL, reinterpret_cast<LPBYTE>(szProfile), &cbProfile);
    (void)RegCloseKey(hKey);
    if (lResult != ERROR_SUCCESS)
        return;
    // A name that fills the whole buffer has no NUL and cannot be used as a string.
    if (memchr(szProfile, '\0', sizeof szProfile) == NULL)
        return;

    char szKey[1024];
    if (!FormConfigurationKey(szKey, szProfilesKey, szProfile) || !RemoveWorkMode(szKey))
        return;
    if (lstrcmpiA(szProfile, kDefaultProfile) == 0)
        return;
    if (FormConfigurationKey(szKey, szProfilesKey, kDefaultProfile))
        (void)RemoveWorkMode(szKey);
}
