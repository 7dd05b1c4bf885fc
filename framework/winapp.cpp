// CWinApp, the body of the standard entry, and the application module's resources.
#include "framework/winapp.h"

#include "framework/exceptions.h"

static CWinApp* s_pApp = NULL;

CWinApp::CWinApp() { s_pApp = this; }

CWinApp::~CWinApp()
{
    if (s_pApp == this)
        s_pApp = NULL;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* FwGetApp() { return s_pApp; }

HINSTANCE FwGetResourceHandle() { return GetModuleHandleA(NULL); }

int FwLockResource(HINSTANCE hModule, LPCSTR pszName, LPCSTR pszType, const BYTE** ppData, DWORD* pcbData)
{
    HRSRC hInfo = FindResourceA(hModule, pszName, pszType);
    if (hInfo == NULL)
        return kResourceNotFound;
    const DWORD cbData = SizeofResource(hModule, hInfo);
    if (cbData == 0)
        return kResourceEmpty;
    HGLOBAL hData = LoadResource(hModule, hInfo);
    if (hData == NULL)
        return kResourceNotLoaded;
    const void* pData = LockResource(hData);
    if (pData == NULL)
        return kResourceNotLocked;
    *ppData = static_cast<const BYTE*>(pData);
    *pcbData = cbData;
    return 0;
}

int FwRunApp()
{
    CWinApp* pApp = FwGetApp();
    if (pApp == NULL)
        return 1;
    try {
        (void)pApp->InitInstance();
    } catch (CException* e) {
        e->Delete();
    }
    return pApp->ExitInstance();
}
