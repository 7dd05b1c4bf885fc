// CFile and CStdioFile: files removed, renamed and read or written as text lines.
#pragma once

#include "framework/exceptions.h"
#include "framework/string.h"

class CFile {
public:
    enum OpenFlags { modeRead = 0x0000, modeWrite = 0x0001, modeCreate = 0x1000, typeText = 0x4000 };

    // Both raise a file exception on failure.
    static void Remove(const char* pszPath);
    static void Rename(const char* pszOldPath, const char* pszNewPath);
};

// A text file on the runtime's streams. Lines are read up to LF with a CR before it
// dropped, and written with every LF turned into CR LF, on every platform alike.
class CStdioFile : public CFile {
public:
    CStdioFile() : m_pStream(NULL) {}
    ~CStdioFile() { Abort(); }

    // Opens for reading (modeRead) or creates/truncates for writing (modeCreate | modeWrite).
    // FALSE on failure; never throws.
    BOOL Open(const char* pszPath, UINT nOpenFlags);
    // Reads the next line without its line end; FALSE at the end of the file.
    // A read error raises a file exception.
    BOOL ReadString(CString& strLine);
    // Raises a file exception when the text cannot be written.
    void WriteString(const char* psz);
    // Raises a file exception when the close reports an error.
    void Close();
    // Closes without reporting anything.
    void Abort();

private:
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    FILE* m_pStream;
};
