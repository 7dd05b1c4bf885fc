// Feature selection: which features the patch reinstalls or adds, and their prior states.
#include "installer/features.h"

#include "app/configtext.h"
#include "framework/collections.h"
#include "framework/exceptions.h"
#include "messages/log.h"
#include "res/resource.h"

static bool IsDefinedState(INSTALLSTATE state)
{
    return state >= INSTALLSTATE_ADVERTISED && state <= INSTALLSTATE_SOURCE;
}

namespace {
// Walks the names of a feature text, split at each ",": the text after the last comma is
// the last name, so an empty text is one empty name and "A," ends with an empty name.
class CFeatureNames {
public:
    explicit CFeatureNames(const CString& strText) : m_strText(strText), m_nStart(0) {}

    // Gives the next name and whether it is the last; FALSE once the last has been given.
    bool Next(CString& strName, bool& bLast)
    {
        if (m_nStart < 0)
            return false;
        const int nComma = m_strText.Find(',', m_nStart);
        bLast = nComma < 0;
        strName = bLast ? m_strText.Mid(m_nStart) : m_strText.Mid(m_nStart, nComma - m_nStart);
        m_nStart = bLast ? -1 : nComma + 1;
        return true;
    }

private:
    const CString& m_strText;
    int m_nStart;  // where the next name begins; -1 after the last
};

// The first name of a feature text: the text before its first ",", or the whole text.
CString FirstName(const CString& strFeatureText)
{
    CString strName;
    bool bLast = false;
    (void)CFeatureNames(strFeatureText).Next(strName, bLast);
    return strName;
}
}  // namespace

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
        CFeatureNames names(strFeatureText);
        CString strFeature;
        bool bLast = false;
        while (names.Next(strFeature, bLast)) {
            if (IsNotRecorded(strFeature, pSnapshot))
                pSnapshot->Record(strFeature, nState);
            if (strFeature == strName)
                return;
        }
    } catch (CException* e) {
        e->Delete();
    }
}

// The names of the product in hand that the installer does not know, each logged once: a
// name misspelt in the configuration is left out of the lists, and the log says so.
static CMapStringToString s_mapUnknownLogged;

static void NoteUnknownFeature(const CString& strProductCode, const CString& strName, INSTALLSTATE state)
{
    if (!IsLogging() || s_mapUnknownLogged.Contains(strName))
        return;
    s_mapUnknownLogged.SetAt(strName, "");
    LogFormat("features", "%s: the installer knows no feature \"%s\" (state %d): the rows leave it out",
              strProductCode, strName, state);
}

BOOL CollectFeatures(CString strProductCode, const CString& strFeatureText, CFeatureSnapshot* pSnapshot)
{
    BOOL bKnown = FALSE;
    try {
        CFeatureNames names(strFeatureText);
        CString strName;
        bool bLast = false;
        while (names.Next(strName, bLast)) {
            const INSTALLSTATE state = MsiQueryFeatureStateA(strProductCode, strName);
            if (state == INSTALLSTATE_ADVERTISED || state == INSTALLSTATE_ABSENT || state == INSTALLSTATE_SOURCE)
                RecordFeatureStates(strName, strFeatureText, state, pSnapshot);
            if (IsDefinedState(state) && !bLast)
                bKnown = TRUE;
            if (!IsDefinedState(state))
                NoteUnknownFeature(strProductCode, strName, state);
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
    for (UINT nID = nFirstId; nID <= IDS_LAST_ROW; ++nID) {
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
    s_mapUnknownLogged.RemoveAll();
    ForEachFeatureRow(IDS_FEATURES_FIRST_BAND, record.m_strTag, [&](const CString& strFeatureText) {
        const BOOL bKnown = CollectFeatures(record.m_strProductCode, strFeatureText, pSnapshot);
        // On a network installation the system files are left as they are.
        if (record.m_bNetworkInstall && strFeatureText.Find(",System_Files") >= 0)
            return;
        (bKnown ? strReinstall : strAddLocal) += FirstName(strFeatureText) + ",";
    });
    ForEachFeatureRow(IDS_FEATURES_SECOND_BAND, record.m_strTag, [&](const CString& strFeatureText) {
        if (!CollectFeatures(record.m_strProductCode, strFeatureText, pSnapshot))
            return;
        const CString strFirst = FirstName(strFeatureText);
        if (IsNotRecorded(strFirst, pSnapshot))
            strReinstall += strFirst + ",";
    });
}
