// The run over the catalogue: each installed product's turn, in configuration order.
#include "app/runflow.h"

#include "app/catalogue.h"
#include "app/configtext.h"
#include "app/globals.h"
#include "framework/exceptions.h"
#include "hostsettings/hostsettings.h"
#include "installer/apply.h"
#include "installer/features.h"
#include "installer/versiongate.h"
#include "messages/exitcode.h"
#include "messages/messages.h"
#include "payload/extract.h"
#include "payload/package.h"
#include "payload/restart.h"

// One product's turn; FALSE when its package could not be written, which ends the run.
static BOOL RunProductTurn(CProductRecord& record, CFeatureSnapshot* pSnapshot, const CString& strSuffix,
                           int& nErrorCount)
{
    g_strTitle = record.m_strName;
    if (!IsVersionAccepted(record))
        return TRUE;
    // The package goes to a folder no unelevated process can change, where there is one,
    // and is held read-only until the installer is done with it.
    CString strFolder;
    const BOOL bPrivate = CreatePrivatePackagePath(strFolder, record.m_strPackagePath);
    if (!ExtractPatchPackage(record.m_strPackagePath))
        return FALSE;
    CPackageHold hold;
    if (!hold.Hold(record.m_strPackagePath)) {
        ShowMessage(kCannotOpenTarget);
        return FALSE;
    }

    CString strAddLocal;
    CString strReinstall;
    record.m_bNetworkInstall = IsNetworkInstall(record.m_strHostKey);
    SelectFeatures(record, strAddLocal, strReinstall, pSnapshot);
    (void)SetThreadLocale(static_cast<LCID>(ReadDecimal(record.m_strLanguage)));
    DeleteUpdateServiceKey(record.m_strProductCode);
    ClearWorkMode(record.m_strHostKey + "\\Profiles");

    const PatchOutcome outcome = ApplyPatch(record, strAddLocal, strReinstall, strSuffix);
    if (outcome == kPatchFailed)
        ++nErrorCount;
    (void)RestoreFeatureStates(record.m_strProductCode, pSnapshot);
    hold.Release();
    (void)DeleteAtRestart(record.m_strPackagePath);
    if (bPrivate)
        (void)DeleteAtRestart(strFolder);
    if (nErrorCount == 0 && outcome == kPatchApplied)
        ShowMessage(IDS_SUCCESS);
    return TRUE;
}

void RunProducts(CProductRecordArray& arrProducts, CFeatureSnapshot* aSnapshots, const CString& strSuffix)
{
    try {
        g_strTitle.Empty();
        LoadProductCatalogue(arrProducts);
        if (arrProducts.GetSize() == 0) {
            ShowMessage(IDS_NOT_INSTALLED);
            return;
        }
        int nErrorCount = 0;
        for (int i = 0; i < arrProducts.GetSize(); ++i) {
            if (!RunProductTurn(*arrProducts.GetAt(i), &aSnapshots[i], strSuffix, nErrorCount))
                return;
        }
    } catch (CException* e) {
        // The run ends silently, but not as a success.
        e->Delete();
        NoteFailure(ERROR_NOT_ENOUGH_MEMORY);
    }
}
