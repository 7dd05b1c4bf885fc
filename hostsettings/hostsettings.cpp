// The host application's registry settings read and removed around each patch.
#include "hostsettings/hostsettings.h"

#include "messages/log.h"

static const char kDefaultProfile[] = "<<Unnamed Profile>>";
static const char kConfiguration[] = "\\General Configuration";
static const char kWorkMode[] = "Today_WorkMode";

BOOL IsNetworkInstall(const CString& strHostKey)
{
    HKEY hKey = NULL;
    const LONG lOpen = RegOpenKeyExA(HKEY_LOCAL_MACHINE, strHostKey, 0, KEY_READ, &hKey);
    if (lOpen != ERROR_SUCCESS) {
        LogFormat("network", "HKLM\\%s cannot be opened (%d): not a network installation", strHostKey, lOpen);
        return FALSE;
    }
    // Shorter data fills the start of the field; the rest stays zero.
    DWORD dwValue = 0;
    DWORD cbValue = sizeof dwValue;
    const LONG lResult =
        RegQueryValueExA(hKey, "StandaloneNetworkType", NULL, NULL, reinterpret_cast<LPBYTE>(&dwValue), &cbValue);
    (void)RegCloseKey(hKey);
    const BOOL bNetwork = lResult == ERROR_SUCCESS && dwValue == 4;
    LogFormat("network", "StandaloneNetworkType %u (result %d): %s", dwValue, lResult,
              bNetwork ? "a network installation" : "not a network installation");
    return bNetwork;
}

// The update service's key of a product, below HKLM.
static CString UpdateServiceKey(const CString& strProductCode)
{
    CString strKey;
    strKey.Format("Software\\Tessaran\\Kestrune\\%s", strProductCode);
    return strKey;
}

void DeleteUpdateServiceKey(const CString& strProductCode)
{
    const CString strKey = UpdateServiceKey(strProductCode);
    const LONG lResult = RegDeleteKeyA(HKEY_LOCAL_MACHINE, strKey);
    LogFormat("settings", "HKLM\\%s: %s (%d)", strKey, lResult == ERROR_SUCCESS ? "removed" : "not removed", lResult);
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

// Reads the current profile's name, the profiles key's default value, into szProfile;
// FALSE when there is none that can be used. The key is copied into szProfilesKey.
static BOOL ReadCurrentProfile(LPCSTR pszProfilesKey, char (&szProfilesKey)[256], char (&szProfile)[256])
{
    if (lstrlenA(pszProfilesKey) >= static_cast<int>(sizeof szProfilesKey))
        return FALSE;
    (void)lstrcpyA(szProfilesKey, pszProfilesKey);
    HKEY hKey = NULL;
    const LONG lOpen = RegOpenKeyExA(HKEY_CURRENT_USER, szProfilesKey, 0, KEY_READ, &hKey);
    if (lOpen != ERROR_SUCCESS) {
        LogFormat("settings", "HKCU\\%s cannot be opened (%d): no profile", szProfilesKey, lOpen);
        return FALSE;
    }
    memset(szProfile, 0, sizeof szProfile);
    DWORD cbProfile = sizeof szProfile;
    const LONG lResult = RegQueryValueExA(hKey, "", NULL, NULL, reinterpret_cast<LPBYTE>(szProfile), &cbProfile);
    (void)RegCloseKey(hKey);
    // A name that fills the whole buffer has no NUL and cannot be used as a string.
    if (lResult != ERROR_SUCCESS || memchr(szProfile, '\0', sizeof szProfile) == NULL) {
        LogFormat("settings", "HKCU\\%s names no usable profile (%d)", szProfilesKey, lResult);
        return FALSE;
    }
    return TRUE;
}

// Removes "Today_WorkMode" under HKCU\<key>; FALSE when the key cannot be opened for writing.
static BOOL RemoveWorkMode(LPCSTR pszKey)
{
    HKEY hKey = NULL;
    const LONG lOpen = RegOpenKeyExA(HKEY_CURRENT_USER, pszKey, 0, KEY_WRITE, &hKey);
    if (lOpen != ERROR_SUCCESS) {
        LogFormat("settings", "HKCU\\%s cannot be opened (%d)", pszKey, lOpen);
        return FALSE;
    }
    // A value already absent is as good as removed.
    const LONG lResult = RegDeleteValueA(hKey, kWorkMode);
    (void)RegCloseKey(hKey);
    LogFormat("settings", "HKCU\\%s\\%s: %s (%d)", pszKey, kWorkMode,
              lResult == ERROR_SUCCESS ? "removed" : "not found", lResult);
    return TRUE;
}

void ClearWorkMode(LPCSTR pszProfilesKey)
{
    char szProfilesKey[256];
    char szProfile[256];
    char szKey[1024];
    if (!ReadCurrentProfile(pszProfilesKey, szProfilesKey, szProfile) ||
        !FormConfigurationKey(szKey, szProfilesKey, szProfile) || !RemoveWorkMode(szKey))
        return;
    if (lstrcmpiA(szProfile, kDefaultProfile) == 0)
        return;
    if (FormConfigurationKey(szKey, szProfilesKey, kDefaultProfile))
        (void)RemoveWorkMode(szKey);
}

// Whether HKEY\<key> exists, with the value when one is named.
static bool Exists(HKEY hRoot, LPCSTR pszKey, LPCSTR pszValue)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(hRoot, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    const bool bExists = pszValue == NULL || RegQueryValueExA(hKey, pszValue, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    (void)RegCloseKey(hKey);
    return bExists;
}

CString PlanHostSettings(const CString& strProductCode, const CString& strHostKey)
{
    CString strPlan;
    const CString strServiceKey = UpdateServiceKey(strProductCode);
    if (Exists(HKEY_LOCAL_MACHINE, strServiceKey, NULL))
        strPlan += "HKLM\\" + strServiceKey;
    char szProfilesKey[256];
    char szProfile[256];
    char szKey[1024];
    if (!ReadCurrentProfile(strHostKey + "\\Profiles", szProfilesKey, szProfile))
        return strPlan;
    const LPCSTR apszProfiles[] = {szProfile, lstrcmpiA(szProfile, kDefaultProfile) == 0 ? NULL : kDefaultProfile};
    for (LPCSTR pszProfile : apszProfiles) {
        if (pszProfile != NULL && FormConfigurationKey(szKey, szProfilesKey, pszProfile) &&
            Exists(HKEY_CURRENT_USER, szKey, kWorkMode))
            strPlan += (strPlan.IsEmpty() ? "HKCU\\" : "; HKCU\\") + CString(szKey) + "\\" + kWorkMode;
    }
    return strPlan;
}
