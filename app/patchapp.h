// CPatchApp: the application object whose InitInstance does the launcher's whole job.
#pragma once

#include "app/productrecord.h"
#include "framework/winapp.h"

class CPatchApp : public CWinApp {
public:
    CPatchApp();
    ~CPatchApp() override;

    BOOL InitInstance() override;
    // The exit code: 0, or the first failure reported (see messages/exitcode.h).
    int ExitInstance() override;

    CProductRecordArray m_arrProducts;  // the installed products; the records are owned here

private:
    // The whole job, from the description to the last product's turn.
    BOOL Run();
    // Opens the log /l asks for, or stops keeping events without one; FALSE when the
    // log cannot be created.
    BOOL OpenRequestedLog();
};
