// CWinApp, the framework's standard entry, and the application module's resources.
#pragma once

#include "platform/win32.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();

    // Does the application's work; the process ends after it returns.
    virtual BOOL InitInstance();
    // The process exit code.
    virtual int ExitInstance();

private:
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
};

// The application object constructed last, or NULL.
CWinApp* FwGetApp();
// The module whose resources the application reads: the executable itself.
HINSTANCE FwGetResourceHandle();

// Codes of the four steps of reaching a resource, the same for every resource.
enum { kResourceNotFound = 101, kResourceEmpty = 102, kResourceNotLoaded = 103, kResourceNotLocked = 104 };
// Finds, sizes, loads and locks a resource of hModule. Returns 0 with its data and size,
// or the code of the first step that failed.
int FwLockResource(HINSTANCE hModule, LPCSTR pszName, LPCSTR pszType, const BYTE** ppData, DWORD* pcbData);
// The standard entry's work: runs InitInstance and returns the exit code. A framework
// exception that nothing caught ends the run quietly.
int FwRunApp();
