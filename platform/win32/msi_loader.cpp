// The installer functions, forwarded to msi.dll loaded by full path from the system
// directory at first use, so that a msi.dll beside the executable is never loaded.
#include "platform/win32.h"

namespace {

typedef INSTALLSTATE(WINAPI* QueryProductStateFn)(LPCSTR);
typedef UINT(WINAPI* GetProductInfoFn)(LPCSTR, LPCSTR, LPSTR, LPDWORD);
typedef INSTALLSTATE(WINAPI* QueryFeatureStateFn)(LPCSTR, LPCSTR);
typedef UINT(WINAPI* ConfigureProductExFn)(LPCSTR, int, INSTALLSTATE, LPCSTR);
typedef INSTALLUILEVEL(WINAPI* SetInternalUIFn)(INSTALLUILEVEL, HWND*);
typedef UINT(WINAPI* EnableLogFn)(DWORD, LPCSTR, DWORD);
typedef UINT(WINAPI* EnumPatchesFn)(LPCSTR, DWORD, LPSTR, LPSTR, LPDWORD);

HMODULE s_hMsi = NULL;
DWORD s_dwLoadError = ERROR_MOD_NOT_FOUND;
char s_szPath[MAX_PATH + 16];

// Loaded once and kept for the life of the process.
HMODULE LoadInstallerLibrary()
{
    static bool s_bTried = false;
    if (!s_bTried) {
        s_bTried = true;
        const UINT nLength = GetSystemDirectoryA(s_szPath, MAX_PATH);
        if (nLength != 0 && nLength < MAX_PATH) {
            lstrcatA(s_szPath, "\\msi.dll");
            s_hMsi = LoadLibraryExA(s_szPath, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
            s_dwLoadError = s_hMsi == NULL ? GetLastError() : ERROR_SUCCESS;
        }
    }
    return s_hMsi;
}

FARPROC InstallerEntry(const char* pszName)
{
    HMODULE hMsi = LoadInstallerLibrary();
    return hMsi == NULL ? NULL : GetProcAddress(hMsi, pszName);
}

template <typename Fn>
Fn Resolve(Fn& pfnCached, const char* pszName)
{
    if (pfnCached == NULL)
        pfnCached = reinterpret_cast<Fn>(reinterpret_cast<void*>(InstallerEntry(pszName)));
    return pfnCached;
}

}  // namespace

// Without the installer, the calls answer as for an unknown product or a missing service.
extern "C" INSTALLSTATE WINAPI MsiQueryProductStateA(LPCSTR szProduct)
{
    static QueryProductStateFn s_pfn = NULL;
    QueryProductStateFn pfn = Resolve(s_pfn, "MsiQueryProductStateA");
    return pfn == NULL ? INSTALLSTATE_UNKNOWN : pfn(szProduct);
}

extern "C" UINT WINAPI MsiGetProductInfoA(LPCSTR szProduct, LPCSTR szAttribute, LPSTR lpValueBuf, LPDWORD pcchValueBuf)
{
    static GetProductInfoFn s_pfn = NULL;
    GetProductInfoFn pfn = Resolve(s_pfn, "MsiGetProductInfoA");
    return pfn == NULL ? ERROR_UNKNOWN_PRODUCT : pfn(szProduct, szAttribute, lpValueBuf, pcchValueBuf);
}

extern "C" INSTALLSTATE WINAPI MsiQueryFeatureStateA(LPCSTR szProduct, LPCSTR szFeature)
{
    static QueryFeatureStateFn s_pfn = NULL;
    QueryFeatureStateFn pfn = Resolve(s_pfn, "MsiQueryFeatureStateA");
    return pfn == NULL ? INSTALLSTATE_UNKNOWN : pfn(szProduct, szFeature);
}

extern "C" UINT WINAPI MsiConfigureProductExA(LPCSTR szProduct, int iInstallLevel, INSTALLSTATE eInstallState,
                                              LPCSTR szCommandLine)
{
    static ConfigureProductExFn s_pfn = NULL;
    ConfigureProductExFn pfn = Resolve(s_pfn, "MsiConfigureProductExA");
    return pfn == NULL ? ERROR_INSTALL_SERVICE_FAILURE : pfn(szProduct, iInstallLevel, eInstallState, szCommandLine);
}

extern "C" INSTALLUILEVEL WINAPI MsiSetInternalUI(INSTALLUILEVEL dwUILevel, HWND* phWnd)
{
    static SetInternalUIFn s_pfn = NULL;
    SetInternalUIFn pfn = Resolve(s_pfn, "MsiSetInternalUI");
    return pfn == NULL ? INSTALLUILEVEL_NOCHANGE : pfn(dwUILevel, phWnd);
}

extern "C" UINT WINAPI MsiEnableLogA(DWORD dwLogMode, LPCSTR szLogFile, DWORD dwLogAttributes)
{
    static EnableLogFn s_pfn = NULL;
    EnableLogFn pfn = Resolve(s_pfn, "MsiEnableLogA");
    return pfn == NULL ? ERROR_INSTALL_SERVICE_FAILURE : pfn(dwLogMode, szLogFile, dwLogAttributes);
}

extern "C" UINT WINAPI MsiEnumPatchesA(LPCSTR szProduct, DWORD iPatchIndex, LPSTR lpPatchBuf, LPSTR lpTransformsBuf,
                                       LPDWORD pcchTransformsBuf)
{
    static EnumPatchesFn s_pfn = NULL;
    EnumPatchesFn pfn = Resolve(s_pfn, "MsiEnumPatchesA");
    return pfn == NULL ? ERROR_INSTALL_SERVICE_FAILURE
                       : pfn(szProduct, iPatchIndex, lpPatchBuf, lpTransformsBuf, pcchTransformsBuf);
}

DWORD GetInstallerLibraryPath(LPSTR lpPath, DWORD nSize)
{
    if (LoadInstallerLibrary() == NULL) {
        SetLastError(s_dwLoadError);
        return 0;
    }
    const DWORD nLength = static_cast<DWORD>(lstrlenA(s_szPath));
    if (nLength >= nSize)
        return 0;
    lstrcpyA(lpPath, s_szPath);
    return nLength;
}
