// The patch description resource and the patch identity suffix formed from it.
#include "description/description.h"

#include "app/globals.h"
#include "framework/collections.h"
#include "framework/winapp.h"
#include "messages/log.h"
#include "res/resource.h"

// The values of PatchTitle and PatchGUID in a description text; empty when absent.
static void ReadIdentity(const CString& strText, CString& strTitle, CString& strGuid)
{
    CMapStringToString mapValues;
    for (int nStart = 0;;) {
        const int nLineEnd = strText.Find("\r\n", nStart);
        if (nLineEnd < 0)
            break;
        const CString strLine = strText.Mid(nStart, nLineEnd - nStart);
        nStart = nLineEnd + 2;
        const int nEquals = strLine.Find('=');
        if (nEquals < 0)
            break;
        mapValues.SetAt(strLine.Left(nEquals), strLine.Mid(nEquals + 1));
    }
    (void)mapValues.Lookup("PatchTitle", strTitle);
    (void)mapValues.Lookup("PatchGUID", strGuid);
}

static CString Suffix(const CString& strTitle, const CString& strGuid)
{
    CString strSuffix;
    strSuffix.Format(" PATCHTITLE=\"%s\" PATCHGUID=\"%s\"", strTitle, strGuid);
    return strSuffix;
}

CString FormPatchIdentitySuffix(const CString& strText)
{
    CString strTitle;
    CString strGuid;
    ReadIdentity(strText, strTitle, strGuid);
    return Suffix(strTitle, strGuid);
}

int LoadPatchDescription(CString& strSuffix)
{
    const BYTE* pData = NULL;
    DWORD cbData = 0;
    const int nCode =
        FwLockResource(g_hInstance, SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, &pData, &cbData);
    if (nCode != 0) {
        LogFormat("description", "cannot be read: code %d", nCode);
        return nCode;
    }
    // The text is the resource's bytes up to its size or its first NUL.
    const char* pchText = reinterpret_cast<const char*>(pData);
    const void* pNul = memchr(pchText, '\0', cbData);
    const int nLength =
        pNul == NULL ? static_cast<int>(cbData) : static_cast<int>(static_cast<const char*>(pNul) - pchText);
    CString strTitle;
    CString strGuid;
    ReadIdentity(CString(pchText, nLength), strTitle, strGuid);
    strSuffix = Suffix(strTitle, strGuid);
    LogFormat("description", "PatchTitle \"%s\", PatchGUID \"%s\"; identity suffix:%s", strTitle, strGuid, strSuffix);
    return 0;
}
