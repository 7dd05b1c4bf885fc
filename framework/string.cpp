// CString: sharing, copy on write, searching, formatting and string-table loading.
#include "framework/string.h"

#include "framework/exceptions.h"
#include "framework/memory.h"
#include "framework/winapp.h"

namespace {
struct EmptyString {
    CStringData header;
    char chNul;
};
EmptyString s_empty = {{-1, 0, 0}, '\0'};
char* EmptyData() { return s_empty.header.data(); }

// The longest string the framework makes (256 MiB): far beyond any text the launcher
// handles, and small enough that no length, room for growth or buffer size computed from
// it wraps an int or a 32-bit size_t.
const size_t kMaxLength = 0x10000000;

// A length as an int; a longer one is refused like memory that is not there.
int CheckedLength(size_t nLength)
{
    if (nLength > kMaxLength)
        FwThrowMemoryException();
    return static_cast<int>(nLength);
}

int LengthOf(const char* psz) { return psz == NULL ? 0 : CheckedLength(strlen(psz)); }
}  // namespace

CString::CString() : m_pchData(EmptyData()) {}

CString::CString(const CString& other) : m_pchData(other.m_pchData)
{
    if (GetData()->nRefs >= 0)
        ++GetData()->nRefs;
}

CString::CString(const char* psz) : m_pchData(EmptyData()) { AssignCopy(psz, LengthOf(psz)); }

CString::CString(const char* pch, int nLength) : m_pchData(EmptyData()) { AssignCopy(pch, nLength); }

CString::~CString() { Release(); }

void CString::Release()
{
    CStringData* pData = GetData();
    if (pData->nRefs >= 0 && --pData->nRefs <= 0)
        FwFree(pData);
    m_pchData = EmptyData();
}

// A new buffer for nLength characters with room for nAlloc, NUL-terminated at nLength;
// the characters are the caller's to write. Allocated first: on failure the string
// keeps its old value.
static CStringData* NewStringData(int nLength, int nAlloc)
{
    CStringData* pData = static_cast<CStringData*>(FwAlloc(sizeof(CStringData) + static_cast<size_t>(nAlloc) + 1));
    pData->nRefs = 1;
    pData->nDataLength = nLength;
    pData->nAllocLength = nAlloc;
    pData->data()[nLength] = '\0';
    return pData;
}

void CString::Attach(CStringData* pData)
{
    Release();
    m_pchData = pData->data();
}

void CString::AllocBuffer(int nLength) { Attach(NewStringData(nLength, nLength)); }

void CString::AssignCopy(const char* pch, int nLength)
{
    if (nLength <= 0) {
        Release();
        return;
    }
    CStringData* pData = NewStringData(nLength, nLength);
    memcpy(pData->data(), pch, static_cast<size_t>(nLength));
    Attach(pData);
}

void CString::Empty() { Release(); }

CString& CString::operator=(const CString& other)
{
    if (m_pchData != other.m_pchData) {
        CStringData* pData = other.GetData();
        if (pData->nRefs >= 0)
            ++pData->nRefs;
        Release();
        m_pchData = other.m_pchData;
    }
    return *this;
}

CString& CString::operator=(const char* psz)
{
    AssignCopy(psz, LengthOf(psz));
    return *this;
}

void CString::ConcatCopy(const char* pch1, int n1, const char* pch2, int n2)
{
    const int nTotal = CheckedLength(static_cast<size_t>(n1) + static_cast<size_t>(n2));
    if (nTotal == 0)
        return;
    CStringData* pData = NewStringData(nTotal, nTotal);
    if (n1 > 0)
        memcpy(pData->data(), pch1, static_cast<size_t>(n1));
    if (n2 > 0)
        memcpy(pData->data() + n1, pch2, static_cast<size_t>(n2));
    Attach(pData);
}

void CString::Append(const char* pch, int nLength)
{
    if (nLength <= 0)
        return;
    CStringData* pData = GetData();
    if (pData->nRefs == 1 && pData->nDataLength + nLength <= pData->nAllocLength) {
        memcpy(m_pchData + pData->nDataLength, pch, static_cast<size_t>(nLength));
        pData->nDataLength += nLength;
        m_pchData[pData->nDataLength] = '\0';
        return;
    }
    // Grow geometrically so that repeated appends stay linear, up to the longest string.
    const int nOld = pData->nDataLength;
    const int nNew = CheckedLength(static_cast<size_t>(nOld) + static_cast<size_t>(nLength));
    const size_t nWanted = static_cast<size_t>(nNew) + static_cast<size_t>(nNew) / 2 + 16;
    CStringData* pNew = NewStringData(nNew, static_cast<int>(nWanted < kMaxLength ? nWanted : kMaxLength));
    memcpy(pNew->data(), m_pchData, static_cast<size_t>(nOld));
    memcpy(pNew->data() + nOld, pch, static_cast<size_t>(nLength));
    Attach(pNew);
}

CString& CString::operator+=(const CString& other)
{
    // Keep a reference: other may be this very string.
    CString strKeep(other);
    Append(strKeep.m_pchData, strKeep.GetLength());
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    Append(psz, LengthOf(psz));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString s;
    s.ConcatCopy(a.m_pchData, a.GetLength(), b.m_pchData, b.GetLength());
    return s;
}

CString operator+(const CString& a, const char* b)
{
    CString s;
    s.ConcatCopy(a.m_pchData, a.GetLength(), b, LengthOf(b));
    return s;
}

CString operator+(const char* a, const CString& b)
{
    CString s;
    s.ConcatCopy(a, LengthOf(a), b.m_pchData, b.GetLength());
    return s;
}

bool operator==(const CString& a, const char* b) { return strcmp(a, b == NULL ? "" : b) == 0; }

bool operator==(const CString& a, const CString& b)
{
    return a.GetLength() == b.GetLength() &&
           memcmp(static_cast<const char*>(a), static_cast<const char*>(b), static_cast<size_t>(a.GetLength())) == 0;
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    const char* p = static_cast<const char*>(memchr(m_pchData + nStart, ch, static_cast<size_t>(GetLength() - nStart)));
    return p == NULL ? -1 : static_cast<int>(p - m_pchData);
}

int CString::Find(const char* pszSub, int nStart) const
{
    // Over the whole length, a NUL inside the string included.
    const int nSub = LengthOf(pszSub);
    for (int i = nStart < 0 ? GetLength() + 1 : nStart; i + nSub <= GetLength(); ++i)
        if (memcmp(m_pchData + i, pszSub, static_cast<size_t>(nSub)) == 0)
            return i;
    return -1;
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount >= GetLength())
        return *this;
    return CString(m_pchData, nCount);
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength() - (nFirst < 0 ? 0 : nFirst)); }

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > GetLength())
        nFirst = GetLength();
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    if (nFirst == 0 && nCount == GetLength())
        return *this;
    return CString(m_pchData + nFirst, nCount);
}

void CString::CopyBeforeWrite()
{
    if (GetData()->nRefs > 1)
        AssignCopy(m_pchData, GetLength());
}

int CString::Replace(char chOld, char chNew)
{
    if (chOld == chNew || Find(chOld) < 0)
        return 0;
    CopyBeforeWrite();
    // Every character counts, a NUL inside the string too.
    int nCount = 0;
    for (int i = 0; i < GetLength(); ++i) {
        if (m_pchData[i] == chOld) {
            m_pchData[i] = chNew;
            ++nCount;
        }
    }
    return nCount;
}

void CString::FormatArgs(const char* pszFormat, const FormatArg* pArgs, size_t nArgs)
{
    const size_t nLength = FormatText(NULL, 0, pszFormat, pArgs, nArgs);
    if (nLength == 0) {
        Release();
        return;
    }
    CString strResult;
    strResult.AllocBuffer(CheckedLength(nLength));
    FormatText(strResult.m_pchData, nLength + 1, pszFormat, pArgs, nArgs);
    *this = strResult;
}

BOOL CString::LoadString(UINT nID)
{
    // Try a stack buffer first, then grow until the row fits with room to spare. The
    // loader fills a buffer up to one less than its size when the row is longer, and
    // in a double-byte code page it stops one byte earlier rather than split a
    // character: only a row that leaves two bytes unused is known to be whole.
    char szSmall[256];
    int nLength = ::LoadStringA(FwGetResourceHandle(), nID, szSmall, static_cast<int>(sizeof szSmall));
    if (nLength < static_cast<int>(sizeof szSmall) - 2) {
        AssignCopy(szSmall, nLength);
        return nLength > 0;
    }
    for (int nSize = 1024;; nSize *= 2) {
        CString strBuffer;
        strBuffer.AllocBuffer(nSize - 1);
        nLength = ::LoadStringA(FwGetResourceHandle(), nID, strBuffer.m_pchData, nSize);
        if (nLength < nSize - 2 || nSize > 0x10000) {
            AssignCopy(strBuffer.m_pchData, nLength);
            return nLength > 0;
        }
    }
}

void AppendNumber(CString& str, DWORD n, unsigned nBase, int nDigits)
{
    char sz[16];
    for (int i = nDigits - 1; i >= 0; --i, n /= nBase)
        sz[i] = "0123456789abcdef"[n % nBase];
    str += CString(sz, nDigits);
}
