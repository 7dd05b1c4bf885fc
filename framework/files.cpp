// CFile and CStdioFile on the runtime's streams and the platform's file calls.
#include "framework/files.h"

#include "platform/win32.h"

void CFile::Remove(const char* pszPath)
{
    if (!DeleteFileA(pszPath))
        FwThrowFileException(CFileException::genericException);
}

void CFile::Rename(const char* pszOldPath, const char* pszNewPath)
{
    if (!MoveFileA(pszOldPath, pszNewPath))
        FwThrowFileException(CFileException::genericException);
}

BOOL CStdioFile::Open(const char* pszPath, UINT nOpenFlags)
{
    Abort();
    m_pStream = fopen(pszPath, (nOpenFlags & modeWrite) != 0 ? "wb" : "rb");
    return m_pStream != NULL;
}

BOOL CStdioFile::ReadString(CString& strLine)
{
    strLine.Empty();
    char szChunk[256];
    bool bReadAny = false;
    for (;;) {
        if (fgets(szChunk, static_cast<int>(sizeof szChunk), m_pStream) == NULL) {
            if (ferror(m_pStream))
                FwThrowFileException(CFileException::genericException);
            return bReadAny;
        }
        bReadAny = true;
        size_t nLength = strlen(szChunk);
        const bool bLineEnd = nLength > 0 && szChunk[nLength - 1] == '\n';
        if (bLineEnd)
            --nLength;
        strLine += CString(szChunk, static_cast<int>(nLength));
        if (bLineEnd)
            break;
    }
    // A CR before the LF belongs to the line end.
    const int nLength = strLine.GetLength();
    if (nLength > 0 && strLine.GetAt(nLength - 1) == '\r')
        strLine = strLine.Left(nLength - 1);
    return TRUE;
}

void CStdioFile::WriteString(const char* psz)
{
    for (const char* p = psz; *p != '\0';) {
        const char* pLineFeed = strchr(p, '\n');
        const size_t nLength = pLineFeed == NULL ? strlen(p) : static_cast<size_t>(pLineFeed - p);
        if (nLength > 0 && fwrite(p, 1, nLength, m_pStream) != nLength)
            FwThrowFileException(CFileException::genericException);
        if (pLineFeed == NULL)
            break;
        if (fwrite("\r\n", 1, 2, m_pStream) != 2)
            FwThrowFileException(CFileException::genericException);
        p = pLineFeed + 1;
    }
}

void CStdioFile::Close()
{
    FILE* pStream = m_pStream;
    m_pStream = NULL;
    if (pStream != NULL && fclose(pStream) != 0)
        FwThrowFileException(CFileException::genericException);
}

void CStdioFile::Abort()
{
    if (m_pStream != NULL) {
        (void)fclose(m_pStream);
        m_pStream = NULL;
    }
}
