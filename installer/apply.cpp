// Applying the patch to one product, and removing again the features whose state it changed.
#include "installer/apply.h"

#include "messages/exitcode.h"
#include "messages/messages.h"

enum {
    kUserCancelled = 1602,   // ERROR_INSTALL_USEREXIT
    kRestartStarted = 1641,  // ERROR_SUCCESS_REBOOT_INITIATED
    kRestartRequired = 3010  // ERROR_SUCCESS_REBOOT_REQUIRED
};

PatchOutcome ApplyPatch(CProductRecord& record, const CString& strAddLocal, const CString& strReinstall,
                        const CString& strSuffix)
{
    record.m_strCommandLine.Format("PATCH=\"%s\" ADDLOCAL=\"%s\" REINSTALL=\"%s\"", record.m_strPackagePath,
                                   strAddLocal, strReinstall);
    record.m_strCommandLine += strSuffix;
    const UINT nResult =
        MsiConfigureProductExA(record.m_strProductCode, 0, INSTALLSTATE_DEFAULT, record.m_strCommandLine);
    switch (nResult) {
    case ERROR_SUCCESS:
        return kPatchApplied;
    case kRestartStarted:
    case kRestartRequired:
        // The patch is in place; the restart completes it.
        NoteInstallerOutcome(nResult);
        return kPatchApplied;
    case kUserCancelled:
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
    if (strRemove.IsEmpty())
        return ERROR_SUCCESS;
    strRemove += "\"";
    (void)MsiSetInternalUI(INSTALLUILEVEL_NONE, NULL);
    return MsiConfigureProductExA(strProductCode, 0, INSTALLSTATE_DEFAULT, strRemove);
}
