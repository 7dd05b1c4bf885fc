// CStringList, CPtrArray and CMapStringToString on the framework allocator.
#include "framework/collections.h"

#include "framework/memory.h"

#include <new>

CStringList::CNode* CStringList::NewNode(const CString& str, CNode* pPrev, CNode* pNext)
{
    void* p = FwAlloc(sizeof(CNode));
    return new (p) CNode{pNext, pPrev, str};
}

POSITION CStringList::AddHead(const CString& str)
{
    CNode* pNode = NewNode(str, NULL, m_pHead);
    if (m_pHead != NULL)
        m_pHead->pPrev = pNode;
    else
        m_pTail = pNode;
    m_pHead = pNode;
    ++m_nCount;
    return reinterpret_cast<POSITION>(pNode);
}

POSITION CStringList::AddTail(const CString& str)
{
    CNode* pNode = NewNode(str, m_pTail, NULL);
    if (m_pTail != NULL)
        m_pTail->pNext = pNode;
    else
        m_pHead = pNode;
    m_pTail = pNode;
    ++m_nCount;
    return reinterpret_cast<POSITION>(pNode);
}

POSITION CStringList::InsertAfter(POSITION pos, const CString& str)
{
    if (pos == NULL)
        return AddTail(str);
    CNode* pOld = reinterpret_cast<CNode*>(pos);
    CNode* pNode = NewNode(str, pOld, pOld->pNext);
    if (pOld->pNext != NULL)
        pOld->pNext->pPrev = pNode;
    else
        m_pTail = pNode;
    pOld->pNext = pNode;
    ++m_nCount;
    return reinterpret_cast<POSITION>(pNode);
}

const CString& CStringList::GetNext(POSITION& pos) const
{
    CNode* pNode = reinterpret_cast<CNode*>(pos);
    pos = reinterpret_cast<POSITION>(pNode->pNext);
    return pNode->data;
}

void CStringList::RemoveAll()
{
    for (CNode* pNode = m_pHead; pNode != NULL;) {
        CNode* pNext = pNode->pNext;
        pNode->~CNode();
        FwFree(pNode);
        pNode = pNext;
    }
    m_pHead = m_pTail = NULL;
    m_nCount = 0;
}

CPtrArray::~CPtrArray() { FwFree(m_pData); }

int CPtrArray::Add(void* p)
{
    if (m_nSize == m_nMaxSize) {
        const int nNewMax = m_nMaxSize == 0 ? 8 : m_nMaxSize * 2;
        void** pNew = static_cast<void**>(FwAlloc(sizeof(void*) * static_cast<size_t>(nNewMax)));
        if (m_nSize > 0)
            memcpy(pNew, m_pData, sizeof(void*) * static_cast<size_t>(m_nSize));
        FwFree(m_pData);
        m_pData = pNew;
        m_nMaxSize = nNewMax;
    }
    m_pData[m_nSize] = p;
    return m_nSize++;
}

void CPtrArray::RemoveAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        return;
    memmove(m_pData + nIndex, m_pData + nIndex + 1, sizeof(void*) * static_cast<size_t>(m_nSize - nIndex - 1));
    --m_nSize;
}

void CPtrArray::RemoveAll()
{
    FwFree(m_pData);
    m_pData = NULL;
    m_nSize = m_nMaxSize = 0;
}

unsigned CMapStringToString::Hash(const char* key)
{
    unsigned nHash = 2166136261u;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(key); *p != 0; ++p)
        nHash = (nHash ^ *p) * 16777619u;
    return nHash;
}

CMapStringToString::CAssoc* CMapStringToString::Find(const char* key, unsigned nHash) const
{
    if (m_nBuckets == 0)
        return NULL;
    for (CAssoc* pAssoc = m_ppBuckets[nHash % m_nBuckets]; pAssoc != NULL; pAssoc = pAssoc->pNext) {
        if (pAssoc->nHash == nHash && pAssoc->key == key)
            return pAssoc;
    }
    return NULL;
}

void CMapStringToString::Grow()
{
    const unsigned nNew = m_nBuckets == 0 ? 17 : m_nBuckets * 2 + 1;
    CAssoc** ppNew = static_cast<CAssoc**>(FwAlloc(sizeof(CAssoc*) * nNew));
    memset(ppNew, 0, sizeof(CAssoc*) * nNew);
    for (unsigned i = 0; i < m_nBuckets; ++i) {
        for (CAssoc* pAssoc = m_ppBuckets[i]; pAssoc != NULL;) {
            CAssoc* pNext = pAssoc->pNext;
            pAssoc->pNext = ppNew[pAssoc->nHash % nNew];
            ppNew[pAssoc->nHash % nNew] = pAssoc;
            pAssoc = pNext;
        }
    }
    FwFree(m_ppBuckets);
    m_ppBuckets = ppNew;
    m_nBuckets = nNew;
}

void CMapStringToString::SetAt(const CString& key, const CString& value)
{
    const unsigned nHash = Hash(key);
    CAssoc* pAssoc = Find(key, nHash);
    if (pAssoc != NULL) {
        pAssoc->value = value;
        return;
    }
    if (static_cast<unsigned>(m_nCount) >= m_nBuckets)
        Grow();
    void* p = FwAlloc(sizeof(CAssoc));
    CAssoc** ppBucket = &m_ppBuckets[nHash % m_nBuckets];
    *ppBucket = new (p) CAssoc{*ppBucket, nHash, key, value};
    ++m_nCount;
}

BOOL CMapStringToString::Lookup(const char* key, CString& value) const
{
    const CAssoc* pAssoc = Find(key, Hash(key));
    if (pAssoc == NULL)
        return FALSE;
    value = pAssoc->value;
    return TRUE;
}

void CMapStringToString::RemoveAll()
{
    for (unsigned i = 0; i < m_nBuckets; ++i) {
        for (CAssoc* pAssoc = m_ppBuckets[i]; pAssoc != NULL;) {
            CAssoc* pNext = pAssoc->pNext;
            pAssoc->~CAssoc();
            FwFree(pAssoc);
            pAssoc = pNext;
        }
    }
    FwFree(m_ppBuckets);
    m_ppBuckets = NULL;
    m_nBuckets = 0;
    m_nCount = 0;
}
