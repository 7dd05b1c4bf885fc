// The simulated registry: keys by full path, open handles counted so leaks show.
#include "platform/sim/sim.h"

namespace {
struct SimOpenKey {
    std::string path;
    REGSAM access;
};

std::string RootName(HKEY hKey)
{
    if (hKey == HKEY_LOCAL_MACHINE)
        return "HKLM";
    if (hKey == HKEY_CURRENT_USER)
        return "HKCU";
    return "";
}

bool HasSubkeys(const std::string& path)
{
    auto it = Sim().registry.upper_bound(path);
    return it != Sim().registry.end() && it->first.size() > path.size() &&
           strncasecmp(it->first.c_str(), (path + "\\").c_str(), path.size() + 1) == 0;
}
}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    const std::string path = RootName(hKey) + "\\" + lpSubKey;
    SimLogCall("RegOpenKeyExA", path, SimHex{samDesired});
    auto it = Sim().registry.find(path);
    if (it == Sim().registry.end())
        return ERROR_FILE_NOT_FOUND;
    if (it->second.bDenied)
        return ERROR_ACCESS_DENIED;
    *phkResult = reinterpret_cast<HKEY>(new SimOpenKey{path, samDesired});
    ++Sim().openKeyCount;
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    const SimOpenKey* pKey = reinterpret_cast<const SimOpenKey*>(hKey);
    const std::string name = lpValueName == NULL ? "" : lpValueName;
    SimLogCall("RegQueryValueExA", pKey->path, SimQuoted{name.c_str()},
               lpcbData == NULL ? std::string("NULL") : std::to_string(*lpcbData));
    auto key = Sim().registry.find(pKey->path);
    if (key == Sim().registry.end())
        return ERROR_FILE_NOT_FOUND;
    auto value = key->second.values.find(name);
    if (value == key->second.values.end())
        return ERROR_FILE_NOT_FOUND;
    if (lpType != NULL)
        *lpType = value->second.type;
    const DWORD cbValue = static_cast<DWORD>(value->second.data.size());
    if (lpcbData == NULL)
        return ERROR_SUCCESS;
    const DWORD cbCapacity = *lpcbData;
    *lpcbData = cbValue;
    if (lpData == NULL)
        return ERROR_SUCCESS;
    if (cbValue > cbCapacity)
        return ERROR_MORE_DATA;
    if (cbValue > 0)
        memcpy(lpData, value->second.data.data(), cbValue);
    return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    const SimOpenKey* pKey = reinterpret_cast<const SimOpenKey*>(hKey);
    SimLogCall("RegDeleteValueA", pKey->path, SimQuoted{lpValueName});
    if ((pKey->access & KEY_WRITE & ~KEY_READ) == 0)
        return ERROR_ACCESS_DENIED;
    auto key = Sim().registry.find(pKey->path);
    if (key == Sim().registry.end() || key->second.values.erase(lpValueName) == 0)
        return ERROR_FILE_NOT_FOUND;
    return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey)
{
    const std::string path = RootName(hKey) + "\\" + lpSubKey;
    SimLogCall("RegDeleteKeyA", path);
    auto it = Sim().registry.find(path);
    if (it == Sim().registry.end())
        return ERROR_FILE_NOT_FOUND;
    if (it->second.bDenied || HasSubkeys(path))
        return ERROR_ACCESS_DENIED;
    Sim().registry.erase(it);
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY hKey)
{
    SimOpenKey* pKey = reinterpret_cast<SimOpenKey*>(hKey);
    SimLogCall("RegCloseKey", pKey->path);
    delete pKey;
    --Sim().openKeyCount;
    return ERROR_SUCCESS;
}
