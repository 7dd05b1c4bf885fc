// The simulated module: its resources, its string table and its message boxes.
#include "platform/sim/sim.h"

namespace {
HMODULE const kModule = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));

std::string ResourceName(LPCSTR psz)
{
    if (IS_INTRESOURCE(psz))
        return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<uintptr_t>(psz)));
    return psz;
}

// Resource handles are 1-based positions in the machine's resource list.
SimResource* FromHandle(const void* h)
{
    const uintptr_t nIndex = reinterpret_cast<uintptr_t>(h);
    if (nIndex == 0 || nIndex > Sim().resources.size())
        return NULL;
    return &Sim().resources[nIndex - 1];
}
}  // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName)
{
    if (lpModuleName == NULL)
        return kModule;
    return strcasecmp(lpModuleName, "advapi32.dll") == 0 ? SimAdvapiHandle() : NULL;
}

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType)
{
    if (hModule != kModule)
        return NULL;
    const std::string name = ResourceName(lpName);
    const std::string type = ResourceName(lpType);
    for (size_t i = 0; i < Sim().resources.size(); ++i) {
        if (strcasecmp(Sim().resources[i].name.c_str(), name.c_str()) == 0 &&
            strcasecmp(Sim().resources[i].type.c_str(), type.c_str()) == 0)
            return reinterpret_cast<HRSRC>(i + 1);
    }
    return NULL;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo)
{
    SimResource* pResource = FromHandle(hResInfo);
    return pResource == NULL ? 0 : static_cast<DWORD>(pResource->bytes.size());
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo)
{
    SimResource* pResource = FromHandle(hResInfo);
    return pResource == NULL || pResource->bFailLoad ? NULL : static_cast<HGLOBAL>(hResInfo);
}

LPVOID WINAPI LockResource(HGLOBAL hResData)
{
    SimResource* pResource = FromHandle(hResData);
    if (pResource == NULL || pResource->bFailLock)
        return NULL;
    return pResource->bytes.data();
}

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    if (lpBuffer == NULL || cchBufferMax <= 0)
        return 0;
    lpBuffer[0] = '\0';
    auto it = Sim().strings.find(uID & 0xFFFF);
    if (hInstance != kModule || it == Sim().strings.end())
        return 0;
    // Like the platform: as much as fits with its NUL, and the count copied.
    size_t nCopy = std::min(it->second.size(), static_cast<size_t>(cchBufferMax - 1));
    if (Sim().bDoubleByteLoader && nCopy < it->second.size() && nCopy > 0)
        --nCopy;
    memcpy(lpBuffer, it->second.data(), nCopy);
    lpBuffer[nCopy] = '\0';
    return static_cast<int>(nCopy);
}

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    Sim().messageBoxes.push_back({lpText, lpCaption, uType});
    SimLogCall("MessageBoxA", SimQuoted{lpText}, SimQuoted{lpCaption});
    if ((uType & MB_YESNO) == 0)
        return 1;
    if (Sim().questionAnswers.empty())
        return IDNO;
    const int nAnswer = Sim().questionAnswers.front();
    Sim().questionAnswers.pop_front();
    return nAnswer;
}
