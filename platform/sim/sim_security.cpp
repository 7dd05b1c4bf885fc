// The simulated security functions: advapi32 looked up by name, descriptors as SDDL texts,
// random bytes, and folders created with an access list.
#include "platform/sim/sim.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
HMODULE const kAdvapi = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7700000));

BOOL WINAPI SimConvertSddl(LPCSTR pszSddl, DWORD dwRevision, PSECURITY_DESCRIPTOR* ppDescriptor, PULONG)
{
    SimLogCall("ConvertStringSecurityDescriptorToSecurityDescriptorA", SimQuoted{pszSddl}, dwRevision);
    *ppDescriptor = new std::string(pszSddl);
    ++Sim().liveDescriptors;
    return TRUE;
}

}  // namespace

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    if (hModule != kAdvapi || Sim().bNoSecurityFunctions)
        return NULL;
    if (strcmp(lpProcName, "ConvertStringSecurityDescriptorToSecurityDescriptorA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimConvertSddl));
    return SimTokenFunction(lpProcName);
}

HMODULE SimAdvapiHandle() { return kAdvapi; }

HLOCAL WINAPI LocalFree(HLOCAL hMem)
{
    delete static_cast<std::string*>(hMem);
    --Sim().liveDescriptors;
    return NULL;
}

DWORD WINAPI GetLastError(void) { return Sim().lastError; }

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes)
{
    const char* pszSddl = lpSecurityAttributes == NULL
                              ? NULL
                              : static_cast<const std::string*>(lpSecurityAttributes->lpSecurityDescriptor)->c_str();
    SimLogCall("CreateDirectoryA", SimQuoted{lpPathName}, pszSddl);
    SimMarkScratchChanged();
    if (Sim().bCreateDirectoryDenied) {
        Sim().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (mkdir(SimHostPath(lpPathName).c_str(), 0755) != 0) {
        Sim().lastError = errno == EEXIST ? ERROR_ALREADY_EXISTS : ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName)
{
    SimLogCall("RemoveDirectoryA", SimQuoted{lpPathName});
    SimMarkScratchChanged();
    if (Sim().bRemoveDirectoryDenied)
        return FALSE;
    return rmdir(SimHostPath(lpPathName).c_str()) == 0;
}
