// CFile and CStdioFile: files removed, renamed, and read or written as lines of bytes.
#pragma once

#include "framework/exceptions.h"
#include "framework/string.h"

class CFile {
public:
    enum OpenFlags { modeRead = 0x0000, modeWrite = 0x0001, modeCreate = 0x1000 };

    // Both raise a file exception on failure.
    static void Remove(const char* pszPath);
    static void Rename(const char* pszOldPath, const char* pszNewPath);
};

// A file on the runtime's streams, read as lines that keep their bytes exactly (a NUL,
// a lone CR, any byte above 127) and written byte for byte.
class CStdioFile : public CFile {
public:
    CStdioFile() : m_pStream(NULL), m_nNext(0), m_nEnd(0) {}
    ~CStdioFile() { Abort(); }

    // Opens for reading (modeRead) or creates/truncates for writing (modeCreate | modeWrite).
    // FALSE on failure; never throws.
    BOOL Open(const char* pszPath, UINT nOpenFlags);
    // Reads the next line with its line end as it stands (LF, CR LF, or none at the end of
    // the file); FALSE at the end of the file. A read error raises a file exception.
    BOOL ReadLine(CString& strLine);
    // Writes the bytes; raises a file exception when they cannot all be written.
    void Write(const char* pch, int nLength);
    void Write(const CString& str) { Write(str, str.GetLength()); }
    // Writes what the runtime buffers and has the system put it on the disk; raises a
    // file exception when that fails.
    void Flush();
    // Raises a file exception when the close reports an error.
    void Close();
    // Closes without reporting anything.
    void Abort();

private:
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    FILE* m_pStream;
    char m_buffer[4096];  // read ahead: m_buffer[m_nNext..m_nEnd) is not yet given out
    int m_nNext;
    int m_nEnd;
};
