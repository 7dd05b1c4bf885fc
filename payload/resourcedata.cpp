// Reaching the bytes of one of the executable's own resources, with the step that failed.
#include "payload/resourcedata.h"

#include "app/globals.h"

int LockResourceData(LPCSTR pszName, LPCSTR pszType, const BYTE** ppData, DWORD* pcbData)
{
    HRSRC hInfo = FindResourceA(g_hInstance, pszName, pszType);
    if (hInfo == NULL)
        return kResourceNotFound;
    const DWORD cbData = SizeofResource(g_hInstance, hInfo);
    if (cbData == 0)
        return kResourceEmpty;
    HGLOBAL hData = LoadResource(g_hInstance, hInfo);
    if (hData == NULL)
        return kResourceNotLoaded;
    const void* pData = LockResource(hData);
    if (pData == NULL)
        return kResourceNotLocked;
    *ppData = static_cast<const BYTE*>(pData);
    *pcbData = cbData;
    return 0;
}
