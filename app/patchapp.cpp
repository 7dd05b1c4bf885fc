// CPatchApp: start-up, the command line, extraction and the run over the products.
#include "app/patchapp.h"

#include "app/commandline.h"
#include "app/runflow.h"
#include "app/globals.h"
#include "description/description.h"
#include "framework/exceptions.h"
#include "installer/snapshot.h"
#include "messages/exitcode.h"
#include "messages/messages.h"
#include "payload/extract.h"

CPatchApp::CPatchApp() {}

CPatchApp::~CPatchApp()
{
    for (int i = m_arrProducts.GetSize() - 1; i >= 0; --i) {
        delete m_arrProducts.GetAt(i);
        m_arrProducts.RemoveAt(i);
    }
}

BOOL CPatchApp::InitInstance()
{
    ResetRunExitCode();
    g_hInstance = FwGetResourceHandle();
    try {
        return Run();
    } catch (CException* e) {
        // Exhausted memory outside the product loop: the run ends silently, but not as a success.
        e->Delete();
        NoteFailure(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

BOOL CPatchApp::Run()
{
    CString strSuffix;
    const int nCode = LoadPatchDescription(strSuffix);
    if (nCode != 0) {
        ShowMessage(nCode);
        return FALSE;
    }

    // One feature-state snapshot per product position, freed on every way out.
    CFeatureSnapshot aSnapshots[kMaxProducts];
    ReadCommandLine(__argc, __argv);

    if (g_bExtractOnly) {
        (void)ExtractPatchPackage(g_strExtractPath);
        return TRUE;
    }
    RunProducts(m_arrProducts, aSnapshots, strSuffix);
    return FALSE;
}

int CPatchApp::ExitInstance() { return GetRunExitCode(); }
