// A product's feature-state snapshot: "name,state" entries with an index of their names.
#include "installer/snapshot.h"

void CFeatureSnapshot::Record(const CString& strName, int nState)
{
    CString strEntry;
    strEntry.Format("%s,%d", strName, nState);
    if (m_listEntries.IsEmpty())
        (void)m_listEntries.AddHead(strEntry);
    else
        (void)m_listEntries.InsertAfter(m_listEntries.GetHeadPosition(), strEntry);
    try {
        m_mapNames.SetAt(strName, CString());
    } catch (...) {
        m_bIndexComplete = false;
        throw;
    }
}

bool CFeatureSnapshot::IsRecorded(const CString& strName) const
{
    if (m_bIndexComplete)
        return m_mapNames.Contains(strName);
    for (POSITION pos = m_listEntries.GetHeadPosition(); pos != NULL;) {
        const CString& strEntry = m_listEntries.GetNext(pos);
        const int nComma = strEntry.Find(',');
        if ((nComma < 0 ? strEntry : strEntry.Left(nComma)) == strName)
            return true;
    }
    return false;
}
