// Whether the installer lists the patch among a product's applied patches.
#include "installer/applied.h"

#include "framework/memory.h"
#include "messages/log.h"

// The transforms' text, which the launcher does not use but must take: it may be of any
// length, so its buffer grows to what the installer asks for, up to this much.
static const DWORD kMaxTransformsLength = 0x100000;

namespace {
// A buffer from the framework's allocator, freed with the holder.
class CBuffer {
public:
    explicit CBuffer(DWORD cch) : m_psz(static_cast<char*>(FwAlloc(cch))) {}
    ~CBuffer() { FwFree(m_psz); }
    char* Get() const { return m_psz; }

private:
    CBuffer(const CBuffer&) = delete;
    CBuffer& operator=(const CBuffer&) = delete;
    char* m_psz;
};
}  // namespace

BOOL IsPatchApplied(const CString& strProductCode, const CString& strPatchCode)
{
    if (strPatchCode.IsEmpty())
        return FALSE;
    DWORD cchBuffer = 256;
    for (DWORD dwIndex = 0;;) {
        char szPatch[39];
        szPatch[0] = '\0';
        CBuffer transforms(cchBuffer);
        DWORD cchTransforms = cchBuffer;
        const UINT nResult = MsiEnumPatchesA(strProductCode, dwIndex, szPatch, transforms.Get(), &cchTransforms);
        if (nResult == ERROR_MORE_DATA) {
            // The same patch is asked for again with room for its transforms (at least twice
            // the room, so that an answer that does not grow cannot hold the walk); beyond
            // any length a real list has, the patch is passed by.
            const DWORD cchWanted = cchTransforms >= cchBuffer ? cchTransforms + 1 : cchBuffer;
            cchBuffer = cchWanted > 2 * cchBuffer ? cchWanted : 2 * cchBuffer;
            if (cchBuffer > kMaxTransformsLength) {
                cchBuffer = 256;
                ++dwIndex;
            }
            continue;
        }
        if (nResult != ERROR_SUCCESS)
            return FALSE;
        szPatch[sizeof szPatch - 1] = '\0';
        if (lstrcmpiA(szPatch, strPatchCode) == 0) {
            LogFormat("product", "%s already has the patch %s: it is left as it is", strProductCode, szPatch);
            return TRUE;
        }
        ++dwIndex;
    }
}
