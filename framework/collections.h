// The framework's collections: CStringList, CPtrArray and CMapStringToString.
#pragma once

#include "framework/string.h"

struct __POSITION {};
typedef __POSITION* POSITION;

// A doubly linked list of strings, walked through positions.
class CStringList {
public:
    CStringList() : m_pHead(NULL), m_pTail(NULL), m_nCount(0) {}
    ~CStringList() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    POSITION AddHead(const CString& str);
    POSITION AddTail(const CString& str);
    // Inserts after the entry at pos; returns the new entry's position.
    POSITION InsertAfter(POSITION pos, const CString& str);
    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pHead); }
    // Returns the entry at pos and moves pos on to the next one (NULL after the last).
    const CString& GetNext(POSITION& pos) const;
    void RemoveAll();

private:
    CStringList(const CStringList&) = delete;
    CStringList& operator=(const CStringList&) = delete;

    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        CString data;
    };
    CNode* NewNode(const CString& str, CNode* pPrev, CNode* pNext);

    CNode* m_pHead;
    CNode* m_pTail;
    int m_nCount;
};

// A growable array of untyped pointers; it owns the slots, not what they point to.
class CPtrArray {
public:
    CPtrArray() : m_pData(NULL), m_nSize(0), m_nMaxSize(0) {}
    ~CPtrArray();

    int GetSize() const { return m_nSize; }
    void* GetAt(int nIndex) const { return m_pData[nIndex]; }
    int Add(void* p);
    void RemoveAt(int nIndex);
    void RemoveAll();

private:
    CPtrArray(const CPtrArray&) = delete;
    CPtrArray& operator=(const CPtrArray&) = delete;

    void** m_pData;
    int m_nSize;
    int m_nMaxSize;
};

// A hash map from strings to strings; keys compare byte for byte.
class CMapStringToString {
public:
    CMapStringToString() : m_ppBuckets(NULL), m_nBuckets(0), m_nCount(0) {}
    ~CMapStringToString() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    // Sets the value of key, replacing an earlier one.
    void SetAt(const CString& key, const CString& value);
    BOOL Lookup(const char* key, CString& value) const;
    bool Contains(const char* key) const { return Find(key, Hash(key)) != NULL; }
    void RemoveAll();

private:
    CMapStringToString(const CMapStringToString&) = delete;
    CMapStringToString& operator=(const CMapStringToString&) = delete;

    struct CAssoc {
        CAssoc* pNext;
        unsigned nHash;
        CString key;
        CString value;
    };
    static unsigned Hash(const char* key);
    CAssoc* Find(const char* key, unsigned nHash) const;
    void Grow();

    CAssoc** m_ppBuckets;
    unsigned m_nBuckets;
    int m_nCount;
};
