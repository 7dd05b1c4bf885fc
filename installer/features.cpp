// Feature selection: which features the patch reinstalls or adds, and their prior states.
#include "installer/features.h"

#include "app/configtext.h"
#include "framework/exceptions.h"

enum { kFirstBand = 10001, kSecondBand = 1001 };

static bool IsDefinedState(INSTALLSTATE state)
{
    return state >= INSTALLSTATE_ADVERTISED && state <= INSTALLSTATE_SOURCE;
}

// The name before the first ",", or the whole text.
static CString FirstName(const CString& strFeatureText)
{
    const int nComma = strFeatureText.Find(',');
    return nComma < 0 ? strFeatureText : strFeatureText.Left(nComma);
}

BOOL IsNotRecorded(CString strName, const CFeatureSnapshot* pSnapshot)
{
    try {
        return !pSnapshot->IsRecorded(strName);
    } catch (CException* e) {
        e->Delete();
        return TRUE;
    }
}

void RecordFeatureStates(CString strName, CString strFeatureText, int nState, CFeatureSnapshot* pSnapshot)
{
    try {
        int nStart = 0;
        for (;;) {
            const int nComma = strFeatureText.Find(',', nStart);
            const CString strX = nComma < 0 ? strFeatureText.Mid(nStart) : strFeatureText.Mid(nStart, nComma - nStart);
            if (IsNotRecorded(strX, pSnapshot))
                pSnapshot->Record(strX, nState);
            if (strX == strName || nComma < 0)
                return;
            nStart = nComma + 1;
        }
    } catch (CException* e) {
        e->Delete();
    }
}

BOOL CollectFeatures(CString strProductCode, const CString& strFeatureText, CFeatureSnapshot* pSnapshot)
{
    BOOL bKnown = FALSE;
    try {
        int nStart = 0;
        for (;;) {
            const int nComma = strFeatureText.Find(',', nStart);
            const bool bLast = nComma < 0;
            const CString strName = bLast ? strFeatureText.Mid(nStart) : strFeatureText.Mid(nStart, nComma - nStart);
            const INSTALLSTATE state = MsiQueryFeatureStateA(strProductCode, strName);
            if (state == INSTALLSTATE_ADVERTISED || state == INSTALLSTATE_ABSENT || state == INSTALLSTATE_SOURCE)
                RecordFeatureStates(strName, strFeatureText, state, pSnapshot);
            if (IsDefinedState(state) && !bLast)
                bKnown = TRUE;
            if (bLast)
                break;
            nStart = nComma + 1;
        }
    } catch (CException* e) {
        e->Delete();
    }
    return bKnown;
}

// Calls visit(featureText) for each row of the band that carries the product's tag,
// from nFirstId up to the first absent or empty row.
template <typename Visit>
static void ForEachFeatureRow(UINT nFirstId, const CString& strTag, Visit visit)
{
    for (UINT nID = nFirstId; nID <= kLastRowId; ++nID) {
        CString strRow;
        if (!strRow.LoadString(nID))
            return;
        CString strRowTag;
        CString strFeatureText;
        SplitConfigRow(strRow, strRowTag, strFeatureText);
        if (strRowTag == strTag)
            visit(strFeatureText);
    }
}

void SelectFeatures(const CProductRecord& record, CString& strAddLocal, CString& strReinstall,
                    CFeatureSnapshot* pSnapshot)
{
    ForEachFeatureRow(kFirstBand, record.m_strTag, [&](const CString& strFeatureText) {
        const BOOL bKnown = CollectFeatures(record.m_strProductCode, strFeatureText, pSnapshot);
        // On a network installation the system files are left as they are.
        if (record.m_bNetworkInstall && strFeatureText.Find(",System_Files") >= 0)
            return;
        (bKnown ? strReinstall : strAddLocal) += FirstName(strFeatureText) + ",";
    });
    ForEachFeatureRow(kSecondBand, record.m_strTag, [&](const CString& strFeatureText) {
        if (!CollectFeatures(record.m_strProductCode, strFeatureText, pSnapshot))
            return;
        const CString strFirst = FirstName(strFeatureText);
        if (IsNotRecorded(strFirst, pSnapshot))
            strReinstall += strFirst + ",";
    });
}
