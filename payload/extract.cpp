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

// A new file for writing that did not exist before: a name chosen in a folder other
// processes can write to may already hold their file or a link to another one, which
// must never be opened. NULL when the name exists or the file cannot be made.
static FILE* CreateNewFile(const char* pszPath)
{
    const int fd = _open(pszPath, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return NULL;
    FILE* pFile = _fdopen(fd, "wb");
    if (pFile == NULL)
        (void)_close(fd);
    return pFile;
}

static BOOL Fail(int nCode)
{
    ShowMessage(nCode);
    return FALSE;
}

BOOL ExtractPatchPackage(CString& strPath, bool* pbFileMade)
{
    if (pbFileMade != NULL)
        *pbFileMade = false;
    // A name the launcher chooses itself is made anew; a name it is given is overwritten.
    const bool bChosenName = strPath.IsEmpty();
    if (bChosenName) {
        const int nCode = ChooseTemporaryPath(strPath);
        if (nCode != 0)
            return Fail(nCode);
    }
    const BYTE* pData = NULL;
    DWORD cbData = 0;
    const int nCode = FwLockResource(g_hInstance, SPLAUNCH_PACKAGE_NAME, SPLAUNCH_PACKAGE_TYPE, &pData, &cbData);
    if (nCode != 0)
        return Fail(nCode);

    FILE* pFile = bChosenName ? CreateNewFile(strPath) : fopen(strPath, "wb");
    if (pFile == NULL)
        return Fail(kCannotOpenTarget);
    if (pbFileMade != NULL)
        *pbFileMade = true;
    // The package is written straight from the resource's memory in one call; the close
    // writes what the runtime still buffers, so its failure is a short write too.
    const size_t cbWritten = fwrite(pData, 1, cbData, pFile);
    const bool bClosed = fclose(pFile) == 0;
    if (cbWritten < cbData || !bClosed)
        return Fail(kShortWrite);
    LogFormat("package", "%s: %u bytes written", strPath, cbData);
    return TRUE;
}

BOOL IsEmbeddedPackage(HANDLE hFile)
{
    const BYTE* pData = NULL;
    DWORD cbData = 0;
    if (FwLockResource(g_hInstance, SPLAUNCH_PACKAGE_NAME, SPLAUNCH_PACKAGE_TYPE, &pData, &cbData) != 0)
        return FALSE;
    DWORD dwSizeHigh = 0;
    if (GetFileSize(hFile, &dwSizeHigh) != cbData || dwSizeHigh != 0)
        return FALSE;
    BYTE abChunk[16384];
    for (DWORD cbDone = 0; cbDone < cbData;) {
        const DWORD cbWanted = cbData - cbDone < sizeof abChunk ? cbData - cbDone : sizeof abChunk;
        DWORD cbRead = 0;
        if (!ReadFile(hFile, abChunk, cbWanted, &cbRead, NULL) || cbRead != cbWanted ||
            memcmp(abChunk, pData + cbDone, cbRead) != 0)
            return FALSE;
        cbDone += cbRead;
    }
    return TRUE;
}
