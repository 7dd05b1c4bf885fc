// The patch description resource and the patch identity suffix formed from it.
#include "description/description.h"

#include "app/globals.h"
#include "framework/collections.h"
#include "framework/winapp.h"
#include "res/resource.h"

CString FormPatchIdentitySuffix(const CString& strText)
{
    CMapStringToString mapValues;
    CString strRest = strText;
    for (;;) {
        const int nLineEnd = strRest.Find("\r\n");
        if (nLineEnd < 0)
            break;
        const CString strLine = strRest.Left(nLineEnd);
        strRest = strRest.Mid(nLineEnd + 2);
        const int nEquals = strLine.Find('=');
        if (nEquals < 0)
            break;
        mapValues.SetAt(strLine.Left(nEquals), strLine.Mid(nEquals + 1));
    }
    CString strTitle;
    CString strGuid;
    (void)mapValues.Lookup("PatchTitle", strTitle);
    (void)mapValues.Lookup("PatchGUID", strGuid);
    CString strSuffix;
    strSuffix.Format(" PATCHTITLE=\"%s\" PATCHGUID=\"%s\"", strTitle, strGuid);
    return strSuffix;
}

int LoadPatchDescription(CString& strSuffix)
{
    const BYTE* pData = NULL;
    DWORD cbData = 0;
    const int nCode =
        FwLockResource(g_hInstance, SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, &pData, &cbData);
    if (nCode != 0)
        return nCode;
    // The text is the resource's bytes up to its size or its first NUL.
    const char* pchText = reinterpret_cast<const char*>(pData);
    const void* pNul = memchr(pchText, '\0', cbData);
    const int nLength =
        pNul == NULL ? static_cast<int>(cbData) : static_cast<int>(static_cast<const char*>(pNul) - pchText);
    strSuffix = FormPatchIdentitySuffix(CString(pchText, nLength));
    return 0;
}
