// CPatchApp: start-up, the command line, extraction and the run over the products.
#include "app/patchapp.h"

#include "app/commandline.h"
#include "app/globals.h"
#include "description/description.h"
#include "framework/collections.h"
#include "messages/exitcode.h"
#include "messages/messages.h"
#include "payload/extract.h"

// One feature-state snapshot per product position.
static const int kSnapshotCount = 256;

CPatchApp::CPatchApp() {}

CPatchApp::~CPatchApp() {}

BOOL CPatchApp::InitInstance()
{
    ResetRunExitCode();
    g_hInstance = FwGetResourceHandle();

    CString strSuffix;
    const int nCode = LoadPatchDescription(strSuffix);
    if (nCode != 0) {
        ShowMessage(nCode);
        return FALSE;
    }

    CStringList aSnapshots[kSnapshotCount];
    ReadCommandLine(__argc, __argv);

    if (g_bExtractOnly) {
        (void)ExtractPatchPackage(g_strExtractPath);
        return TRUE;
    }
    return FALSE;
}

int CPatchApp::ExitInstance() { return GetRunExitCode(); }
