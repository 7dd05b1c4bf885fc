// The simulated file system: Windows paths on real files under the scratch directory,
// with failures injected by path.
#include "platform/sim/sim.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The Windows path of every stream the logic opened, whether an error was raised, and
// whether it was opened in text mode (a line feed written becomes CR LF, as on Windows).
struct SimStream {
    std::string path;
    bool bError;
    bool bText;
};
std::map<FILE*, SimStream> g_streams;
std::map<int, std::string> g_descriptors;  // files opened by _open and not yet made streams

SimStream* StreamOf(FILE* pStream)
{
    auto it = g_streams.find(pStream);
    return it == g_streams.end() ? NULL : &it->second;
}

FILE* TrackStream(FILE* pStream, const std::string& path, const char* mode)
{
    if (pStream != NULL) {
        g_streams[pStream] = {path, false, strchr(mode, 'b') == NULL};
        ++Sim().openFileCount;
    }
    return pStream;
}

// Devices are named \\.\<name>; every one of them takes what is written and gives nothing.
bool IsDevicePath(const std::string& path) { return path.compare(0, 4, "\\\\.\\") == 0; }
}  // namespace

FILE* SimFopen(const char* path, const char* mode)
{
    if (Sim().failOpen.count(path) != 0 || (strchr(mode, 'r') == NULL && SimFileHeldAgainstWriters(path)))
        return NULL;
    if (strchr(mode, 'r') == NULL)
        SimMarkScratchChanged();
    // The host opens every file as bytes; text mode is done here.
    std::string hostMode;
    for (const char* pch = mode; *pch != '\0'; ++pch)
        if (*pch != 't' && *pch != 'b')
            hostMode += *pch;
    return TrackStream(fopen(SimHostPath(path).c_str(), hostMode.c_str()), path, mode);
}

int _open(const char* path, int oflag, int)
{
    SimLogCall("_open", SimQuoted{path}, SimHex{static_cast<DWORD>(oflag)});
    if (Sim().failOpen.count(path) != 0)
        return -1;
    SimMarkScratchChanged();
    // Like CREATE_NEW: an existing name, a link included, is never opened.
    int nFlags = O_WRONLY | O_NOFOLLOW;
    if ((oflag & _O_CREAT) != 0)
        nFlags |= O_CREAT;
    if ((oflag & _O_EXCL) != 0)
        nFlags |= O_EXCL;
    const int fd = open(SimHostPath(path).c_str(), nFlags, 0644);
    if (fd >= 0)
        g_descriptors[fd] = path;
    return fd;
}

int _close(int fd)
{
    g_descriptors.erase(fd);
    return close(fd);
}

FILE* SimFdopen(int fd, const char* mode)
{
    auto it = g_descriptors.find(fd);
    const std::string path = it == g_descriptors.end() ? std::string() : it->second;
    FILE* pStream = TrackStream(fdopen(fd, strchr(mode, 'w') != NULL ? "w" : "r"), path, mode);
    if (pStream != NULL)
        g_descriptors.erase(fd);
    return pStream;
}

size_t SimFwrite(const void* data, size_t size, size_t count, FILE* stream)
{
    SimStream* pInfo = StreamOf(stream);
    if (pInfo != NULL && Sim().failWrite.count(pInfo->path) != 0) {
        pInfo->bError = true;
        return fwrite(data, size, count / 2, stream);
    }
    if (pInfo != NULL && pInfo->bText) {
        const char* pch = static_cast<const char*>(data);
        for (size_t i = 0; i < size * count; ++i) {
            if ((pch[i] == '\n' && fputc('\r', stream) == EOF) || fputc(pch[i], stream) == EOF)
                return i / size;
        }
        return count;
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
    const std::string path = pInfo != NULL ? pInfo->path : std::string();
    g_streams.erase(stream);
    --Sim().openFileCount;
    const int nResult = fclose(stream);
    // A copy, so that the hook may replace itself.
    const std::function<void(const std::string&)> onFileClosed = Sim().onFileClosed;
    if (onFileClosed && !path.empty())
        onFileClosed(path);
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
        if (!SimFileExists(candidate)) {
            const std::function<void(const std::string&)> onTempName = Sim().onTempName;
            if (onTempName)
                onTempName(candidate);
            return strdup(candidate.c_str());
        }
    }
}

int _access(const char* path, int mode) { return access(SimHostPath(path).c_str(), mode == 0 ? F_OK : mode); }

int _fileno(FILE* stream) { return fileno(stream); }

// The scratch files need not reach the disk: only a failure is simulated.
int _commit(int fd)
{
    for (const auto& stream : g_streams)
        if (fileno(stream.first) == fd && Sim().failClose.count(stream.second.path) != 0)
            return -1;
    return 0;
}

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
    if (Sim().bTempFileNameFails) {
        Sim().lastError = ERROR_ACCESS_DENIED;
        return 0;
    }
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
    // (or replaced) for writing; a device takes what is written.
    FILE* pStream = NULL;
    const bool bWriting = dwDesiredAccess == GENERIC_WRITE;
    if (IsDevicePath(lpFileName)) {
        pStream = fopen("/dev/null", bWriting ? "wb" : "rb");
    } else if (Sim().failOpen.count(lpFileName) != 0) {
        pStream = NULL;
    } else if (bWriting && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS) &&
               !SimFileHeldAgainstWriters(lpFileName)) {
        SimMarkScratchChanged();
        pStream = fopen(SimHostPath(lpFileName).c_str(), dwCreationDisposition == CREATE_ALWAYS ? "wb" : "ab");
    } else if (!bWriting && dwCreationDisposition == OPEN_EXISTING && SimFileExists(lpFileName)) {
        pStream = fopen(SimHostPath(lpFileName).c_str(), "rb");
    }
    if (pStream == NULL) {
        Sim().lastError = ERROR_SHARING_VIOLATION;
        return INVALID_HANDLE_VALUE;
    }
    static uintptr_t s_nNext = 0x1000;
    HANDLE hFile = reinterpret_cast<HANDLE>(s_nNext += 4);
    Sim().openHandles[hFile] = {lpFileName, dwShareMode, pStream, bWriting};
    return hFile;
}

BOOL WINAPI CloseHandle(HANDLE hObject)
{
    if (SimCloseMutex(hObject))
        return TRUE;
    auto it = Sim().openHandles.find(hObject);
    if (it == Sim().openHandles.end())
        return FALSE;
    SimLogCall("CloseHandle", SimQuoted{it->second.path.c_str()});
    fclose(it->second.pStream);
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
    if (it == Sim().openHandles.end() || !it->second.bWriting || Sim().failWrite.count(it->second.path) != 0)
        return FALSE;
    *lpNumberOfBytesWritten = static_cast<DWORD>(fwrite(lpBuffer, 1, nNumberOfBytesToWrite, it->second.pStream));
    fflush(it->second.pStream);
    return *lpNumberOfBytesWritten == nNumberOfBytesToWrite;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead, LPVOID)
{
    auto it = Sim().openHandles.find(hFile);
    if (it == Sim().openHandles.end() || it->second.bWriting || Sim().failRead.count(it->second.path) != 0)
        return FALSE;
    *lpNumberOfBytesRead = static_cast<DWORD>(fread(lpBuffer, 1, nNumberOfBytesToRead, it->second.pStream));
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod)
{
    auto it = Sim().openHandles.find(hFile);
    if (it == Sim().openHandles.end() || lDistanceToMove != 0 || lpDistanceToMoveHigh != NULL ||
        dwMoveMethod != FILE_END || fseek(it->second.pStream, 0, SEEK_END) != 0)
        return INVALID_SET_FILE_POINTER;
    return static_cast<DWORD>(ftell(it->second.pStream));
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    auto it = Sim().openHandles.find(hFile);
    struct stat info;
    if (it == Sim().openHandles.end() || fstat(fileno(it->second.pStream), &info) != 0)
        return INVALID_FILE_SIZE;
    if (lpFileSizeHigh != NULL)
        *lpFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
    return static_cast<DWORD>(info.st_size);
}

DWORD WINAPI GetShortPathNameA(LPCSTR lpszLongPath, LPSTR lpszShortPath, DWORD cchBuffer)
{
    SimLogCall("GetShortPathNameA", SimQuoted{lpszLongPath}, cchBuffer);
    if (!SimFileExists(lpszLongPath)) {
        Sim().lastError = ERROR_FILE_NOT_FOUND;
        return 0;
    }
    auto it = Sim().shortPaths.find(lpszLongPath);
    const std::string shortPath = it == Sim().shortPaths.end() ? lpszLongPath : it->second;
    if (shortPath.size() + 1 > cchBuffer)
        return static_cast<DWORD>(shortPath.size() + 1);
    memcpy(lpszShortPath, shortPath.c_str(), shortPath.size() + 1);
    return static_cast<DWORD>(shortPath.size());
}
