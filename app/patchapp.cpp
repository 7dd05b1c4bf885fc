// CPatchApp: start-up, the command line, extraction and the run over the products.
#include "app/patchapp.h"

#include "app/commandline.h"
#include "app/runflow.h"
#include "app/runlog.h"
#include "app/globals.h"
#include "app/restartcomputer.h"
#include "description/description.h"
#include "framework/exceptions.h"
#include "installer/apply.h"
#include "installer/snapshot.h"
#include "messages/exitcode.h"
#include "messages/log.h"
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
    ResetInstallerUiLevel();
    BeginLog();
    g_hInstance = FwGetResourceHandle();
    BOOL bResult = FALSE;
    try {
        bResult = Run();
    } catch (CException* e) {
        // Exhausted memory: the run ends silently, but not as a success.
        e->Delete();
        NoteFailure(ERROR_NOT_ENOUGH_MEMORY);
        LogEvent("end", "the run ended: memory is exhausted");
    }
    // The log's last line is written before the restart is asked for: the system may end
    // the process at any moment after.
    const bool bRestart = ChooseRestart();
    NoteRestartStarted(bRestart);
    LogRunExitCode();
    if (bRestart && !RestartComputer()) {
        NoteRestartStarted(false);
        LogRunExitCode();
    }
    CloseLog();
    return bResult;
}

BOOL CPatchApp::Run()
{
    LogLauncherStart();
    CString strSuffix;
    const int nCode = LoadPatchDescription(strSuffix);
    if (nCode != 0) {
        // Shown before the command line is read, so /q cannot silence it; a log asked for
        // still gets it.
        ShowMessage(nCode);
        ReadCommandLine(__argc, __argv);
        OpenRequestedLog();
        return FALSE;
    }

    // One feature-state snapshot per product position, freed on every way out.
    CFeatureSnapshot aSnapshots[kMaxProducts];
    ReadCommandLine(__argc, __argv);
    if (g_bShowUsage) {
        StopLog();
        ShowUsage();
        return FALSE;
    }
    if (!OpenRequestedLog()) {
        ShowMessage(kLogNotCreated);
        return FALSE;
    }
    if (g_bExtractOnly) {
        (void)ExtractPatchPackage(g_strExtractPath);
        return TRUE;
    }
    RunProducts(m_arrProducts, aSnapshots, strSuffix);
    return FALSE;
}

BOOL CPatchApp::OpenRequestedLog()
{
    if (g_strLogPath.IsEmpty()) {
        StopLog();
        return TRUE;
    }
    // Resolved before anything uses it: the installer's logs are named after it, and the
    // installer would resolve a relative name against a current folder of its own.
    char szFullPath[1024];
    const DWORD nLength = GetFullPathNameA(g_strLogPath, sizeof szFullPath, szFullPath, NULL);
    if (nLength == 0 || nLength >= sizeof szFullPath) {
        StopLog();
        return FALSE;
    }
    g_strLogPath = szFullPath;
    return OpenLog(g_strLogPath);
}

int CPatchApp::ExitInstance() { return GetRunExitCode(); }
