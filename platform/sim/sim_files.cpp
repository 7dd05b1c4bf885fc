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
    if (Sim().failOpen.count(path) != 0)
        return NULL;
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

int SimFputs(const char* text, FILE* stream)
{
    SimStream* pInfo = StreamOf(stream);
    if (pInfo != NULL && Sim().failWrite.count(pInfo->path) != 0) {
        pInfo->bError = true;
        return EOF;
    }
    return fputs(text, stream);
}

char* SimFgets(char* buffer, int size, FILE* stream)
{
    SimStream* pInfo = StreamOf(stream);
    if (pInfo != NULL && Sim().failRead.count(pInfo->path) != 0) {
        pInfo->bError = true;
        return NULL;
    }
    return fgets(buffer, size, stream);
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
    if (Sim().failDelete.count(lpFileName) != 0)
        return FALSE;
    return unlink(SimHostPath(lpFileName).c_str()) == 0;
}

BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName)
{
    SimLogCall("MoveFileA", SimQuoted{lpExistingFileName}, SimQuoted{lpNewFileName});
    if (Sim().failRename.count(lpExistingFileName) != 0)
        return FALSE;
    // Like the platform: the move does not replace an existing file.
    if (SimFileExists(lpNewFileName))
        return FALSE;
    return rename(SimHostPath(lpExistingFileName).c_str(), SimHostPath(lpNewFileName).c_str()) == 0;
}
