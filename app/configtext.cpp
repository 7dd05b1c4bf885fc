// Reading configuration texts: a row's update tag and value, and numbers inside texts.
#include "app/configtext.h"

void SplitConfigRow(const CString& strRow, CString& strTag, CString& strValue)
{
    const int nColon = strRow.Find(':');
    if (nColon < 0) {
        strTag.Empty();
        strValue = strRow;
        return;
    }
    strTag = strRow.Left(nColon);
    strValue = strRow.Mid(nColon + 1);
}

BOOL LoadConfigValue(UINT nID, CString& strValue)
{
    CString strRow;
    if (!strRow.LoadString(nID))
        return FALSE;
    CString strTag;
    SplitConfigRow(strRow, strTag, strValue);
    return TRUE;
}

long ReadDecimal(const char* psz)
{
    while (*psz == ' ' || (*psz >= '\t' && *psz <= '\r'))
        ++psz;
    bool bNegative = false;
    if (*psz == '+' || *psz == '-')
        bNegative = *psz++ == '-';
    DWORD nValue = 0;
    for (; *psz >= '0' && *psz <= '9'; ++psz)
        nValue = nValue * 10u + static_cast<DWORD>(*psz - '0');
    if (bNegative)
        nValue = 0u - nValue;
    return static_cast<long>(static_cast<LONG>(nValue));
}
