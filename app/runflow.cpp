// The run over the catalogue: each installed product's turn, in configuration order.
#include "app/runflow.h"

#include "app/catalogue.h"
#include "app/plan.h"
#include "app/runlog.h"
#include "app/configtext.h"
#include "app/globals.h"
#include "framework/exceptions.h"
#include "hostsettings/hostsettings.h"
#include "installer/applied.h"
#include "installer/apply.h"
#include "installer/busy.h"
#include "installer/features.h"
#include "installer/versiongate.h"
#include "messages/exitcode.h"
#include "messages/log.h"
#include "messages/messages.h"
#include "payload/package.h"

// Logs the lists and the snapshot the selection made.
static void LogSelection(const CString& strAddLocal, const CString& strReinstall, const CFeatureSnapshot* pSnapshot)
{
    if (!IsLogging())
        return;
    LogFormat("features", "ADDLOCAL \"%s\", REINSTALL \"%s\"", strAddLocal, strReinstall);
    CString strEntries;
    for (POSITION pos = pSnapshot->GetEntries().GetHeadPosition(); pos != NULL;)
        strEntries += (strEntries.IsEmpty() ? "" : " ") + pSnapshot->GetEntries().GetNext(pos);
    LogFormat("features", "prior states recorded: %s", strEntries.IsEmpty() ? CString("(none)") : strEntries);
}

// What the turns of a run share.
struct CRunState {
    CRunState() : nErrorCount(0), nUpToDate(0) {}
    CString strSuffix;     // the patch identity suffix
    CString strPatchCode;  // the patch's GUID (row IDS_PATCH_GUID), empty without one
    int nErrorCount;       // failed patch calls
    int nUpToDate;         // products that have the patch already
    CString strFirstUpToDate;
};

// One product's turn (nTurn from 1); FALSE when its package could not be written, which ends the run.
static BOOL RunProductTurn(CProductRecord& record, int nTurn, CFeatureSnapshot* pSnapshot, CRunState& run)
{
    g_strTitle = record.m_strName;
    // A product that has this patch already is left alone: a run again is no failure.
    if (IsPatchApplied(record.m_strProductCode, run.strPatchCode)) {
        if (run.nUpToDate++ == 0)
            run.strFirstUpToDate = record.m_strName;
        return TRUE;
    }
    if (!IsVersionAccepted(record))
        return TRUE;
    WaitForInstaller();
    // The package goes to a folder no unelevated process can change, where there is one,
    // and is held read-only until the installer is done with it.
    CTurnPackage package;
    if (!package.Prepare(record.m_strPackagePath))
        return FALSE;

    CString strAddLocal;
    CString strReinstall;
    record.m_bNetworkInstall = IsNetworkInstall(record.m_strHostKey);
    SelectFeatures(record, strAddLocal, strReinstall, pSnapshot);
    LogSelection(strAddLocal, strReinstall, pSnapshot);
    (void)SetThreadLocale(static_cast<LCID>(ReadDecimal(record.m_strLanguage)));
    DeleteUpdateServiceKey(record.m_strProductCode);
    ClearWorkMode(record.m_strHostKey + "\\Profiles");

    const PatchOutcome outcome = ApplyPatch(record, strAddLocal, strReinstall, run.strSuffix, nTurn);
    if (outcome == kPatchFailed)
        ++run.nErrorCount;
    (void)RestoreFeatureStates(record.m_strProductCode, pSnapshot);
    package.Finish();
    if (run.nErrorCount == 0 && outcome == kPatchApplied)
        ShowMessage(IDS_SUCCESS);
    return TRUE;
}

void RunProducts(CProductRecordArray& arrProducts, CFeatureSnapshot* aSnapshots, const CString& strSuffix)
{
    try {
        g_strTitle.Empty();
        LoadProductCatalogue(arrProducts);
        LogInstallerLibrary();
        const CString strFirstName = g_strTitle;
        if (arrProducts.GetSize() == 0) {
            ShowMessage(IDS_NOT_INSTALLED);
            if (g_bPlanOnly) {
                PlanNothingInstalled();
                ReportPlan(strFirstName);
            }
            return;
        }
        CRunState run;
        run.strSuffix = strSuffix;
        (void)run.strPatchCode.LoadString(IDS_PATCH_GUID);
        if (g_bPlanOnly) {
            PlanInstallerBusy();
            for (int i = 0; i < arrProducts.GetSize(); ++i)
                PlanProductTurn(*arrProducts.GetAt(i), &aSnapshots[i], strSuffix, run.strPatchCode);
            ReportPlan(strFirstName);
            return;
        }
        // /qn: the installer shows nothing from the first patch call on.
        if (g_bQuietInstaller) {
            TurnInstallerUiOff();
            LogEvent("installer", "its interface is off for the whole run (/qn)");
        }
        StartWaitingBudget(g_dwWaitSeconds);
        for (int i = 0; i < arrProducts.GetSize(); ++i) {
            if (!RunProductTurn(*arrProducts.GetAt(i), i + 1, &aSnapshots[i], run))
                return;
        }
        // Every installed product has the update already: said once, as information.
        if (run.nUpToDate == arrProducts.GetSize()) {
            g_strTitle = run.strFirstUpToDate;
            ShowMessage(IDS_UP_TO_DATE);
        }
    } catch (CException* e) {
        // The run ends silently, but not as a success.
        e->Delete();
        NoteFailure(ERROR_NOT_ENOUGH_MEMORY);
    }
}
