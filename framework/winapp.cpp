// CWinApp and the body of the standard entry.
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
