// A product's feature-state snapshot: "name,state" entries with an index of their names.
#include "installer/snapshot.h"

#include "app/configtext.h"

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

// An entry's name is its text before the first ","; the state is the number after it.
void CFeatureSnapshot::GetNext(POSITION& pos, CString& strName, long& nState) const
{
    const CString& strEntry = m_listEntries.GetNext(pos);
    const int nComma = strEntry.Find(',');
    strName = nComma < 0 ? strEntry : strEntry.Left(nComma);
    nState = nComma < 0 ? 0 : ReadDecimal(static_cast<const char*>(strEntry) + nComma + 1);
}

bool CFeatureSnapshot::IsRecorded(const CString& strName) const
{
    if (m_bIndexComplete)
        return m_mapNames.Contains(strName);
    CString strEntryName;
    long nState = 0;
    for (POSITION pos = GetHeadPosition(); pos != NULL;) {
        GetNext(pos, strEntryName, nState);
        if (strEntryName == strName)
            return true;
    }
    return false;
}
