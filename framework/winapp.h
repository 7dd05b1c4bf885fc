// CWinApp: the application object and the framework's standard entry.
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
// The standard entry's work: runs InitInstance and returns the exit code. A framework
// exception that nothing caught ends the run quietly.
int FwRunApp();
