// Applying the patch to one product, and removing again the features whose state it changed.
#include "installer/apply.h"

#include "installer/busy.h"
#include "messages/exitcode.h"
#include "messages/log.h"
#include "messages/messages.h"

// Every configuring call ends with this: the installer neither asks for a restart nor
// starts one; it answers 3010 instead, and the launcher decides once the run is over.
#define NO_RESTART " REBOOT=ReallySuppress"

// Every kind of message but extra debugging, as msiexec's /l*v asks for.
static const DWORD kVerboseLog = INSTALLLOGMODE_FATALEXIT | INSTALLLOGMODE_ERROR | INSTALLLOGMODE_WARNING |
                                 INSTALLLOGMODE_USER | INSTALLLOGMODE_INFO | INSTALLLOGMODE_FILESINUSE |
                                 INSTALLLOGMODE_RESOLVESOURCE | INSTALLLOGMODE_OUTOFDISKSPACE |
                                 INSTALLLOGMODE_ACTIONSTART | INSTALLLOGMODE_ACTIONDATA | INSTALLLOGMODE_PROPERTYDUMP |
                                 INSTALLLOGMODE_COMMONDATA | INSTALLLOGMODE_VERBOSE;

// The installer's user-interface level as the launcher left it: the installer's default
// until the launcher first sets it, process-wide from then on.
static bool s_bUiOff = false;

void ResetInstallerUiLevel() { s_bUiOff = false; }

void TurnInstallerUiOff()
{
    (void)MsiSetInternalUI(INSTALLUILEVEL_NONE, NULL);
    s_bUiOff = true;
}

CString FormPatchCommandLine(const CString& strPackagePath, const CString& strAddLocal, const CString& strReinstall,
                             const CString& strSuffix)
{
    CString strCommandLine;
    strCommandLine.Format("PATCH=\"%s\" ADDLOCAL=\"%s\" REINSTALL=\"%s\"", strPackagePath, strAddLocal, strReinstall);
    return strCommandLine + strSuffix + NO_RESTART;
}

PatchOutcome ApplyPatch(CProductRecord& record, const CString& strAddLocal, const CString& strReinstall,
                        const CString& strSuffix, int nTurn)
{
    record.m_strCommandLine = FormPatchCommandLine(record.m_strPackagePath, strAddLocal, strReinstall, strSuffix);
    // With a log of our own, the installer keeps its verbose log beside it, one per turn.
    const CString strInstallerLog = InstallerLogPath(nTurn, record.m_strProductCode);
    if (!strInstallerLog.IsEmpty()) {
        const UINT nLogResult = MsiEnableLogA(kVerboseLog, strInstallerLog,
                                              INSTALLLOGATTRIBUTES_APPEND | INSTALLLOGATTRIBUTES_FLUSHEACHLINE);
        LogFormat("installer", "its log for this turn: %s (result %u)", strInstallerLog, nLogResult);
    }
    LogFormat("patch", "configuring %s, the installer's interface %s, with: %s", record.m_strProductCode,
              s_bUiOff ? "off" : "at its default level", record.m_strCommandLine);
    UINT nResult = MsiConfigureProductExA(record.m_strProductCode, 0, INSTALLSTATE_DEFAULT, record.m_strCommandLine);
    LogFormat("patch", "result %u", nResult);
    // Another installation kept the installer busy: the same call again once it is over,
    // while the run's waiting budget lasts.
    while (nResult == ERROR_INSTALL_ALREADY_RUNNING && WaitBeforeRetry()) {
        LogFormat("patch", "configuring %s again", record.m_strProductCode);
        nResult = MsiConfigureProductExA(record.m_strProductCode, 0, INSTALLSTATE_DEFAULT, record.m_strCommandLine);
        LogFormat("patch", "result %u", nResult);
    }
    switch (nResult) {
    case ERROR_SUCCESS:
        return kPatchApplied;
    case ERROR_SUCCESS_REBOOT_INITIATED:
    case ERROR_SUCCESS_REBOOT_REQUIRED:
        // The patch is in place; the restart completes it.
        NoteInstallerOutcome(nResult);
        return kPatchApplied;
    case ERROR_INSTALL_USEREXIT:
        NoteInstallerOutcome(nResult);
        return kPatchCancelled;
    default:
        // Noted here too: a result that is also the success message's id is a failure all the same.
        NoteFailure(static_cast<int>(nResult));
        ShowMessage(static_cast<int>(nResult));
        return kPatchFailed;
    }
}

UINT RestoreFeatureStates(CString strProductCode, const CFeatureSnapshot* pSnapshot)
{
    CString strRemove;
    CString strName;
    long nRecorded = 0;
    for (POSITION pos = pSnapshot->GetHeadPosition(); pos != NULL;) {
        pSnapshot->GetNext(pos, strName, nRecorded);
        if (MsiQueryFeatureStateA(strProductCode, strName) == nRecorded)
            continue;
        strRemove += strRemove.IsEmpty() ? "REMOVE=\"" : ",";
        strRemove += strName;
    }
    if (strRemove.IsEmpty()) {
        LogEvent("removal", "no feature changed its state: no removal");
        return ERROR_SUCCESS;
    }
    strRemove += "\"" NO_RESTART;
    TurnInstallerUiOff();
    LogFormat("removal", "configuring %s, the installer's interface off, with: %s", strProductCode, strRemove);
    const UINT nResult = MsiConfigureProductExA(strProductCode, 0, INSTALLSTATE_DEFAULT, strRemove);
    LogFormat("removal", "result %u", nResult);
    // Only a restart it needs counts; the removal's result is otherwise not acted on.
    if (nResult == ERROR_SUCCESS_REBOOT_REQUIRED || nResult == ERROR_SUCCESS_REBOOT_INITIATED)
        NoteInstallerOutcome(nResult);
    return nResult;
}
