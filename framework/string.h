// CString: the framework's reference-counted 8-bit string.
#pragma once

#include "framework/format.h"
#include "platform/win32.h"

// Header of a shared string buffer; the characters follow it.
struct CStringData {
    long nRefs;  // -1 for the shared empty buffer, which is never freed
    int nDataLength;
    int nAllocLength;
    char* data() { return reinterpret_cast<char*>(this + 1); }
};

class CString {
public:
    CString();
    CString(const CString& other);
    CString(const char* psz);
    CString(const char* pch, int nLength);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(const char* psz);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    int GetLength() const { return GetData()->nDataLength; }
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();
    operator const char*() const { return m_pchData; }
    char GetAt(int nIndex) const { return m_pchData[nIndex]; }

    // Index of the first occurrence at or after nStart, or -1.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    // Replaces every chOld by chNew; returns how many were replaced.
    int Replace(char chOld, char chNew);

    template <typename... Args>
    void Format(const char* pszFormat, const Args&... args)
    {
        const FormatArg aArgs[] = {FormatArg(Arg(args))..., FormatArg(0)};
        FormatArgs(pszFormat, aArgs, sizeof...(args));
    }
    void FormatArgs(const char* pszFormat, const FormatArg* pArgs, size_t nArgs);

    // Loads a string-table row of any length from the resource module; FALSE when
    // the row is absent or empty (the string is then empty).
    BOOL LoadString(UINT nID);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);

private:
    CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pchData) - 1; }
    void AllocBuffer(int nLength);
    void Attach(CStringData* pData);
    void Release();
    void AssignCopy(const char* pch, int nLength);
    void Append(const char* pch, int nLength);
    void CopyBeforeWrite();
    void ConcatCopy(const char* pch1, int n1, const char* pch2, int n2);

    static const char* Arg(const CString& s) { return s; }
    template <typename T>
    static const T& Arg(const T& value)
    {
        return value;
    }

    char* m_pchData;
};

// Appends n as nDigits (at most 16) digits of base 10 or 16, with leading zeros; higher
// digits that do not fit are dropped.
void AppendNumber(CString& str, DWORD n, unsigned nBase, int nDigits);

bool operator==(const CString& a, const char* b);
bool operator==(const CString& a, const CString& b);
