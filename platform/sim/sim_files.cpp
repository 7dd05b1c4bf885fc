// The simulated file system: Windows paths on real files under the scratch directory,
// with failures injected by path.
#include "platform/sim/sim.h"

#include <unistd.h>

namespace {
// The Windows path of every stream the logic opened, and whether an error was raised.
struct SimStream {
    std::string path;
    bool bError;
};
std::map<FILE*, SimStream> g_streams;

SimStream* StreamOf(FILE* pStream)
{
    auto it = g_streams.find(pStream);
    return it == g_streams.end() ? NULL : &it->second;
}
}  // namespace

FILE* SimFopen(const char* path, const char* mode)
{
    if (Sim().failOpen.count(path) != 0 || (strchr(mode, 'r') == NULL && SimFileHeldAgainstWriters(path)))
        return NULL;
    if (strchr(mode, 'r') == NULL)
        SimMarkScratchChanged();
    FILE* pStream = fopen(SimHostPath(path).c_str(), mode);
    if (pStream != NULL) {
        g_streams[pStream] = {path, false};
        ++Sim().openFileCount;
    }
    return pStream;
}

size_t SimFwrite(const void* data, size_t size, size_t count, FILE* stream)
{
    SimStream* pInfo = StreamOf(stream);
    if (pInfo != NULL && Sim().failWrite.count(pInfo->path) != 0) {
        pInfo->bError = true;
        return fwrite(data, size, count / 2, stream);
    }
    return fwrite(data, size, count, stream);
}

size_t SimFread(void* buffer, size_t size, size_t count, FILE* stream)
{
    SimStream* pInfo = StreamOf(stream);
    if (pInfo != NULL && Sim().failRead.count(pInfo->path) != 0) {
        pInfo->bError = true;
        return 0;
    }
    return fread(buffer, size, count, stream);
}

int SimFerror(FILE* stream)
{
    SimStream* pInfo = StreamOf(stream);
    return (pInfo != NULL && pInfo->bError) || ferror(stream) ? 1 : 0;
}

int SimFclose(FILE* stream)
{
    SimStream* pInfo = StreamOf(stream);
    const bool bFail = pInfo != NULL && Sim().failClose.count(pInfo->path) != 0;
    g_streams.erase(stream);
    --Sim().openFileCount;
    const int nResult = fclose(stream);
    return bFail ? EOF : nResult;
}

char* _tempnam(const char* dir, const char* prefix)
{
    SimLogCall("_tempnam", SimQuoted{dir}, SimQuoted{prefix});
    if (Sim().bTempNameFails)
        return NULL;
    std::string base = dir;
    if (!base.empty() && base.back() != '\\')
        base += '\\';
    for (unsigned n = 1;; ++n) {
        const std::string candidate = base + prefix + std::to_string(n) + ".tmp";
        if (!SimFileExists(candidate))
            return strdup(candidate.c_str());
    }
}

int _access(const char* path, int mode) { return access(SimHostPath(path).c_str(), mode == 0 ? F_OK : mode); }

BOOL WINAPI DeleteFileA(LPCSTR lpFileName)
{
    SimLogCall("DeleteFileA", SimQuoted{lpFileName});
    SimMarkScratchChanged();
    if (Sim().failDelete.count(lpFileName) != 0 || SimFileHeldAgainstWriters(lpFileName))
        return FALSE;
    return unlink(SimHostPath(lpFileName).c_str()) == 0;
}

BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName)
{
    SimLogCall("MoveFileA", SimQuoted{lpExistingFileName}, SimQuoted{lpNewFileName});
    SimMarkScratchChanged();
    if (Sim().failRename.count(lpExistingFileName) != 0 || SimFileHeldAgainstWriters(lpExistingFileName))
        return FALSE;
    // Like the platform: the move does not replace an existing file.
    if (SimFileExists(lpNewFileName))
        return FALSE;
    return rename(SimHostPath(lpExistingFileName).c_str(), SimHostPath(lpNewFileName).c_str()) == 0;
}

UINT WINAPI GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName)
{
    SimLogCall("GetTempFileNameA", SimQuoted{lpPathName}, SimQuoted{lpPrefixString}, uUnique);
    SimMarkScratchChanged();
    // Like the platform: the first free name <folder>\<prefix><hex>.tmp, created empty.
    for (UINT n = 1; n < 0x10000; ++n) {
        char szName[32];
        snprintf(szName, sizeof szName, "%.3s%X.tmp", lpPrefixString, n);
        const std::string path = std::string(lpPathName) + "\\" + szName;
        if (SimFileExists(path))
            continue;
        FILE* pFile = fopen(SimHostPath(path).c_str(), "wb");
        if (pFile == NULL)
            return 0;
        fclose(pFile);
        snprintf(lpTempFileName, MAX_PATH, "%s", path.c_str());
        return n;
    }
    return 0;
}

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD, HANDLE)
{
    SimLogCall("CreateFileA", SimQuoted{lpFileName}, SimHex{dwDesiredAccess}, dwShareMode, dwCreationDisposition);
    // What the launcher asks for: an existing file opened for reading, or a file created
    // (or replaced) for writing.
    FILE* pWriting = NULL;
    if (dwDesiredAccess == GENERIC_WRITE && dwCreationDisposition == CREATE_ALWAYS &&
        Sim().failOpen.count(lpFileName) == 0 && !SimFileHeldAgainstWriters(lpFileName)) {
        SimMarkScratchChanged();
        pWriting = fopen(SimHostPath(lpFileName).c_str(), "wb");
    }
    const bool bReading = dwDesiredAccess == GENERIC_READ && dwCreationDisposition == OPEN_EXISTING &&
                          SimFileExists(lpFileName) && Sim().failOpen.count(lpFileName) == 0;
    if (pWriting == NULL && !bReading) {
        Sim().lastError = ERROR_SHARING_VIOLATION;
        return INVALID_HANDLE_VALUE;
    }
    static uintptr_t s_nNext = 0x1000;
    HANDLE hFile = reinterpret_cast<HANDLE>(s_nNext += 4);
    Sim().openHandles[hFile] = {lpFileName, dwShareMode, pWriting};
    return hFile;
}

BOOL WINAPI CloseHandle(HANDLE hObject)
{
    auto it = Sim().openHandles.find(hObject);
    if (it == Sim().openHandles.end())
        return FALSE;
    SimLogCall("CloseHandle", SimQuoted{it->second.path.c_str()});
    if (it->second.pWriting != NULL)
        fclose(it->second.pWriting);
    Sim().openHandles.erase(it);
    return TRUE;
}

bool SimFileHeldAgainstWriters(const std::string& windowsPath)
{
    for (const auto& handle : Sim().openHandles)
        if (strcasecmp(handle.second.path.c_str(), windowsPath.c_str()) == 0 && (handle.second.shareMode & 2) == 0)
            return true;
    return false;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPVOID)
{
    auto it = Sim().openHandles.find(hFile);
    if (it == Sim().openHandles.end() || it->second.pWriting == NULL || Sim().failWrite.count(it->second.path) != 0)
        return FALSE;
    *lpNumberOfBytesWritten = static_cast<DWORD>(fwrite(lpBuffer, 1, nNumberOfBytesToWrite, it->second.pWriting));
    fflush(it->second.pWriting);
    return *lpNumberOfBytesWritten == nNumberOfBytesToWrite;
}
