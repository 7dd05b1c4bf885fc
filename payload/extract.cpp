// Writing the embedded patch package to a file.
#include "payload/extract.h"

#include "app/globals.h"
#include "framework/winapp.h"
#include "messages/log.h"
#include "messages/messages.h"
#include "res/resource.h"

// Chooses a fresh temporary file name; returns 0 or the failure code.
static int ChooseTemporaryPath(CString& strPath)
{
    char szTempDirectory[1024];
    const DWORD nLength = GetTempPathA(sizeof szTempDirectory, szTempDirectory);
    // A length that fills the whole buffer leaves no room for the NUL: refused too.
    if (nLength == 0 || nLength >= sizeof szTempDirectory)
        return kNoTempDirectory;
    char* pszName = _tempnam(szTempDirectory, SPLAUNCH_PACKAGE_PREFIX);
    if (pszName == NULL)
        return kNoTempName;
    try {
        strPath = pszName;
    } catch (...) {
        free(pszName);
        throw;
    }
    free(pszName);
    return 0;
}

static BOOL Fail(int nCode)
{
    ShowMessage(nCode);
    return FALSE;
}

BOOL ExtractPatchPackage(CString& strPath)
{
    if (strPath.IsEmpty()) {
        const int nCode = ChooseTemporaryPath(strPath);
        if (nCode != 0)
            return Fail(nCode);
    }
    const BYTE* pData = NULL;
    DWORD cbData = 0;
    const int nCode = FwLockResource(g_hInstance, SPLAUNCH_PACKAGE_NAME, SPLAUNCH_PACKAGE_TYPE, &pData, &cbData);
    if (nCode != 0)
        return Fail(nCode);

    FILE* pFile = fopen(strPath, "wb");
    if (pFile == NULL)
        return Fail(kCannotOpenTarget);
    // The package is written straight from the resource's memory in one call.
    const size_t cbWritten = fwrite(pData, 1, cbData, pFile);
    (void)fclose(pFile);
    if (cbWritten < cbData)
        return Fail(kShortWrite);
    LogFormat("package", "%s: %u bytes written", strPath, cbData);
    return TRUE;
}
