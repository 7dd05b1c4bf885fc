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
    m_nNext = m_nEnd = 0;
    return m_pStream != NULL;
}

BOOL CStdioFile::ReadLine(CString& strLine)
{
    strLine.Empty();
    for (;;) {
        if (m_nNext == m_nEnd) {
            const size_t nRead = fread(m_buffer, 1, sizeof m_buffer, m_pStream);
            if (nRead == 0) {
                if (ferror(m_pStream))
                    FwThrowFileException(CFileException::genericException);
                return strLine.GetLength() > 0;
            }
            m_nNext = 0;
            m_nEnd = static_cast<int>(nRead);
        }
        const char* pchStart = m_buffer + m_nNext;
        const void* pLineFeed = memchr(pchStart, '\n', static_cast<size_t>(m_nEnd - m_nNext));
        const int nTake =
            pLineFeed == NULL ? m_nEnd - m_nNext : static_cast<int>(static_cast<const char*>(pLineFeed) - pchStart) + 1;
        strLine += CString(pchStart, nTake);
        m_nNext += nTake;
        if (pLineFeed != NULL)
            return TRUE;
    }
}

void CStdioFile::Write(const char* pch, int nLength)
{
    if (nLength > 0 && fwrite(pch, 1, static_cast<size_t>(nLength), m_pStream) != static_cast<size_t>(nLength))
        FwThrowFileException(CFileException::genericException);
}

void CStdioFile::Flush()
{
    if (fflush(m_pStream) != 0 || _commit(_fileno(m_pStream)) != 0)
        FwThrowFileException(CFileException::genericException);
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
