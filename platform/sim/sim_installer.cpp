// The simulated installer service: products, features, configure calls and the UI level.
#include "platform/sim/sim.h"

namespace {
bool IsBracedGuid(const char* psz)
{
    if (psz == NULL || strlen(psz) != 38 || psz[0] != '{' || psz[37] != '}')
        return false;
    for (int i = 1; i < 37; ++i) {
        const bool bDash = i == 9 || i == 14 || i == 19 || i == 24;
        if (bDash ? psz[i] != '-' : !isxdigit(static_cast<unsigned char>(psz[i])))
            return false;
    }
    return true;
}

// The names of a property such as REMOVE="A,B" in a command line.
std::vector<std::string> PropertyNames(const std::string& commandLine, const std::string& property)
{
    std::vector<std::string> names;
    const std::string key = property + "=\"";
    size_t nStart = commandLine.find(key);
    if (nStart == std::string::npos || (nStart > 0 && commandLine[nStart - 1] != ' '))
        return names;
    nStart += key.size();
    const size_t nEnd = commandLine.find('"', nStart);
    const std::string list = commandLine.substr(nStart, nEnd - nStart);
    size_t nFrom = 0;
    while (nFrom <= list.size()) {
        const size_t nComma = list.find(',', nFrom);
        const std::string name = list.substr(nFrom, nComma == std::string::npos ? std::string::npos : nComma - nFrom);
        if (!name.empty())
            names.push_back(name);
        if (nComma == std::string::npos)
            break;
        nFrom = nComma + 1;
    }
    return names;
}
}  // namespace

INSTALLSTATE WINAPI MsiQueryProductStateA(LPCSTR szProduct)
{
    SimLogCall("MsiQueryProductStateA", SimQuoted{szProduct});
    if (!IsBracedGuid(szProduct))
        return INSTALLSTATE_INVALIDARG;
    auto it = Sim().products.find(szProduct);
    return it == Sim().products.end() ? INSTALLSTATE_UNKNOWN : it->second.state;
}

UINT WINAPI MsiGetProductInfoA(LPCSTR szProduct, LPCSTR szAttribute, LPSTR lpValueBuf, LPDWORD pcchValueBuf)
{
    SimLogCall("MsiGetProductInfoA", SimQuoted{szProduct}, SimQuoted{szAttribute}, *pcchValueBuf);
    auto it = Sim().products.find(szProduct == NULL ? "" : szProduct);
    if (it == Sim().products.end() || !it->second.bReportsVersion || strcmp(szAttribute, "VersionString") != 0)
        return ERROR_UNKNOWN_PRODUCT;
    const std::string& version = it->second.version;
    const DWORD nCapacity = *pcchValueBuf;
    *pcchValueBuf = static_cast<DWORD>(version.size());
    if (nCapacity == 0)
        return ERROR_MORE_DATA;
    const size_t nCopy = std::min(version.size(), static_cast<size_t>(nCapacity - 1));
    memcpy(lpValueBuf, version.data(), nCopy);
    lpValueBuf[nCopy] = '\0';
    return nCopy < version.size() ? ERROR_MORE_DATA : ERROR_SUCCESS;
}

INSTALLSTATE WINAPI MsiQueryFeatureStateA(LPCSTR szProduct, LPCSTR szFeature)
{
    SimLogCall("MsiQueryFeatureStateA", SimQuoted{szProduct}, SimQuoted{szFeature});
    auto it = Sim().products.find(szProduct);
    if (it == Sim().products.end())
        return INSTALLSTATE_UNKNOWN;
    auto feature = it->second.features.find(szFeature);
    return feature == it->second.features.end() ? INSTALLSTATE_UNKNOWN : feature->second;
}

UINT WINAPI MsiConfigureProductExA(LPCSTR szProduct, int iInstallLevel, INSTALLSTATE eInstallState,
                                   LPCSTR szCommandLine)
{
    SimLogCall("MsiConfigureProductExA", SimQuoted{szProduct}, iInstallLevel, eInstallState, SimQuoted{szCommandLine});
    const SimConfigureCall call = {
        szProduct,     iInstallLevel,
        eInstallState, szCommandLine == NULL ? "" : szCommandLine,
        Sim().uiLevel, Sim().enabledLogs.empty() ? std::string() : Sim().enabledLogs.back().path};
    Sim().configureCalls.push_back(call);
    UINT nResult = ERROR_SUCCESS;
    if (SimIsInstallerBusy()) {
        // Another installation runs: the installer refuses at once and changes nothing.
        if (Sim().onConfigure)
            Sim().onConfigure(call);
        return ERROR_INSTALL_ALREADY_RUNNING;
    }
    if (!Sim().configureResults.empty()) {
        nResult = Sim().configureResults.front();
        Sim().configureResults.pop_front();
    }
    // Like the installer: removed features become absent, added ones local.
    auto it = Sim().products.find(szProduct);
    if (it != Sim().products.end()) {
        for (const std::string& name : PropertyNames(call.commandLine, "REMOVE"))
            if (it->second.features.count(name) != 0)
                it->second.features[name] = INSTALLSTATE_ABSENT;
        for (const std::string& name : PropertyNames(call.commandLine, "ADDLOCAL"))
            if (it->second.features.count(name) != 0)
                it->second.features[name] = INSTALLSTATE_LOCAL;
    }
    if (Sim().onConfigure)
        Sim().onConfigure(call);
    return nResult;
}

INSTALLUILEVEL WINAPI MsiSetInternalUI(INSTALLUILEVEL dwUILevel, HWND* phWnd)
{
    SimLogCall("MsiSetInternalUI", dwUILevel, phWnd == NULL ? "NULL" : "hwnd");
    const INSTALLUILEVEL nPrevious = Sim().uiLevel;
    Sim().uiLevel = dwUILevel;
    return nPrevious;
}

UINT WINAPI MsiEnableLogA(DWORD dwLogMode, LPCSTR szLogFile, DWORD dwLogAttributes)
{
    SimLogCall("MsiEnableLogA", SimHex{dwLogMode}, SimQuoted{szLogFile}, dwLogAttributes);
    Sim().enabledLogs.push_back({dwLogMode, szLogFile == NULL ? "" : szLogFile, dwLogAttributes});
    return ERROR_SUCCESS;
}

UINT WINAPI MsiEnumPatchesA(LPCSTR szProduct, DWORD iPatchIndex, LPSTR lpPatchBuf, LPSTR lpTransformsBuf,
                            LPDWORD pcchTransformsBuf)
{
    SimLogCall("MsiEnumPatchesA", SimQuoted{szProduct}, iPatchIndex, *pcchTransformsBuf);
    auto it = Sim().products.find(szProduct);
    if (it == Sim().products.end())
        return ERROR_UNKNOWN_PRODUCT;
    if (it->second.enumPatchesFailure != 0)
        return it->second.enumPatchesFailure;
    if (iPatchIndex >= it->second.patches.size())
        return ERROR_NO_MORE_ITEMS;
    const std::pair<std::string, std::string>& patch = it->second.patches[iPatchIndex];
    // Like the installer: a transforms buffer that is too small gets the length needed.
    if (patch.second.size() + 1 > *pcchTransformsBuf) {
        *pcchTransformsBuf = static_cast<DWORD>(patch.second.size());
        return ERROR_MORE_DATA;
    }
    snprintf(lpPatchBuf, 39, "%s", patch.first.c_str());
    memcpy(lpTransformsBuf, patch.second.c_str(), patch.second.size() + 1);
    *pcchTransformsBuf = static_cast<DWORD>(patch.second.size());
    return ERROR_SUCCESS;
}

DWORD GetInstallerLibraryPath(LPSTR lpPath, DWORD nSize)
{
    if (Sim().bInstallerMissing) {
        Sim().lastError = 126;  // the module was not found
        return 0;
    }
    const std::string path = Sim().systemDirectory + "\\msi.dll";
    if (path.size() >= nSize)
        return 0;
    memcpy(lpPath, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}
