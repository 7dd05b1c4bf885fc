// The simulated machine behind the host build: resources, installer, registry, OS,
// files, message boxes and an ordered log of installer, registry and system calls.
#pragma once

#include "platform/win32.h"

#include <ctype.h>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <strings.h>
#include <unordered_map>
#include <vector>

// Case-insensitive ordering, as Windows compares registry keys, paths and product codes.
struct SimNoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

struct SimResource {
    std::string name;  // as FindResourceA names it: "#<id>" for an integer id
    std::string type;
    std::vector<unsigned char> bytes;
    bool bFailLoad = false;
    bool bFailLock = false;
};

struct SimMessageBox {
    std::string text;
    std::string caption;
    UINT style;
};

struct SimProduct {
    INSTALLSTATE state = INSTALLSTATE_DEFAULT;
    std::string version;          // "VersionString"
    bool bReportsVersion = true;  // false: the version query fails and writes nothing
    // Feature names match byte for byte, case included, as the installer's own keys do.
    std::unordered_map<std::string, INSTALLSTATE> features;
    // The patches applied to the product, in the installer's order: code, transforms.
    std::vector<std::pair<std::string, std::string>> patches;
    UINT enumPatchesFailure = 0;  // not 0: MsiEnumPatchesA answers this for every index
};

struct SimConfigureCall {
    std::string product;
    int installLevel;
    INSTALLSTATE installState;
    std::string commandLine;
    INSTALLUILEVEL uiLevel;  // the user-interface level in force during the call
    std::string logFile;     // the installer's own log in force during the call, or ""
};

struct SimInstallerLog {
    DWORD mode;
    std::string path;
    DWORD attributes;
};

struct SimRegValue {
    DWORD type;
    std::vector<BYTE> data;
};

struct SimRegKey {
    std::map<std::string, SimRegValue, SimNoCaseLess> values;  // "" is the default value
    bool bDenied = false;                                      // every open is refused
};

struct SimMachine {
    // Resources and the user interface.
    std::unordered_map<UINT, std::string> strings;
    // Like the loader of a double-byte code page, which stops one byte early rather than
    // split a character: a row that does not fit leaves two bytes of the buffer unused.
    bool bDoubleByteLoader = false;
    std::vector<SimResource> resources;
    std::vector<SimMessageBox> messageBoxes;
    std::deque<int> questionAnswers;  // the buttons the next Yes/No boxes are closed with; else No

    // The installer.
    std::map<std::string, SimProduct, SimNoCaseLess> products;
    std::deque<UINT> configureResults;                         // results of the next configure calls, else 0
    std::function<void(const SimConfigureCall&)> onConfigure;  // runs after the default effect
    std::vector<SimConfigureCall> configureCalls;
    INSTALLUILEVEL uiLevel = 1;
    std::vector<SimInstallerLog> enabledLogs;  // every MsiEnableLogA call, the last in force
    bool bInstallerMissing = false;            // msi.dll could not be loaded

    // Another installation: the named mutexes it holds, each until a tick of the clock;
    // while the installer's own is held, every configure call answers 1618.
    std::map<std::string, DWORD> mutexHeldUntil;
    bool bMutexAbandoned = false;  // the holder ends without releasing it
    int openMutexCount = 0;
    int ownedMutexCount = 0;

    // The registry: full paths such as "HKLM\Software\Vendor".
    std::map<std::string, SimRegKey, SimNoCaseLess> registry;
    int openKeyCount = 0;

    // The operating system.
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    DWORD majorVersion = 6;
    DWORD minorVersion = 1;
    bool bVersionQueryFails = false;
    std::string tempPath = "C:\\Temp\\";
    long tempPathResult = -1;  // >= 0: GetTempPathA returns this and writes nothing
    bool bTempNameFails = false;
    std::string systemDirectory = "C:\\windows\\system32";
    std::string windowsDirectory = "C:\\windows";
    long windowsDirectoryResult = -1;  // >= 0: GetWindowsDirectoryA returns this, writes nothing
    std::string currentDirectory = "C:\\cwd";  // what relative paths resolve against
    // Short (8.3) forms of long paths; an existing path not listed is its own short form.
    std::map<std::string, std::string, SimNoCaseLess> shortPaths;
    DWORD tickCount = 1000000;  // the clock, in milliseconds since the start of the system
    LCID threadLocale = 0;
    std::string computerName = "PC01";
    std::string userName = "Administrator";
    LONG timeZoneBias = -60;  // minutes to add to the local time for UTC
    bool bDaylightTime = false;
    // Restarting the computer: the privilege the token lacks, a refusal, and every request.
    bool bNoShutdownPrivilege = false;
    bool bExitWindowsFails = false;
    std::vector<std::pair<UINT, DWORD>> exitWindowsCalls;
    bool bMoveFileExFails = false;
    std::vector<std::string> pendingDeletes;  // paths given to MoveFileExA with delay

    // Files: Windows paths live under the scratch directory; failures by Windows path.
    std::string scratch;
    std::set<std::string, SimNoCaseLess> failOpen;
    std::set<std::string, SimNoCaseLess> failRead;
    std::set<std::string, SimNoCaseLess> failWrite;  // short writes
    std::set<std::string, SimNoCaseLess> failClose;
    std::set<std::string, SimNoCaseLess> failDelete;
    std::set<std::string, SimNoCaseLess> failRename;  // by source path
    int openFileCount = 0;
    // Another process at work: it sees each name _tempnam chooses, and each file the
    // logic has just closed.
    std::function<void(const std::string&)> onTempName;
    std::function<void(const std::string&)> onFileClosed;
    // Handles from CreateFileA: while one is open without write (delete) sharing, the file
    // cannot be opened for writing (deleted, moved), as on Windows.
    struct OpenHandle {
        std::string path;
        DWORD shareMode;
        FILE* pStream;   // the open file
        bool bWriting;   // created for writing; else opened for reading
    };
    std::map<HANDLE, OpenHandle> openHandles;
    bool bCreateDirectoryDenied = false;  // the user is not an administrator
    bool bRemoveDirectoryDenied = false;  // the folder's access list does not admit the user
    bool bTempFileNameFails = false;      // GetTempFileNameA may create no file in the folder
    DWORD lastError = 0;

    // advapi32's security and token functions, looked up by name; absent on the 9x family
    // and on old NT systems. The descriptors made are SDDL texts.
    bool bNoSecurityFunctions = false;
    int liveDescriptors = 0;

    // The heap: after this many more successful allocations, the next ones fail.
    long allocationsBeforeFailure = -1;
    long failingAllocations = 1;

    // Every installer, registry and system call, in order, with its arguments (kept
    // while bLogCalls is set; benchmarks turn it off to time the launcher alone).
    std::vector<std::string> calls;
    bool bLogCalls = true;

    // The command line, program name first.
    std::vector<std::string> args;
};

// The machine of the running test; SimReset gives a fresh one with a clean scratch directory.
SimMachine& Sim();
void SimReset();
void SimSetArgs(const std::vector<std::string>& args);

// Resources and string rows.
void SimSetString(UINT id, const std::string& text);
SimResource& SimAddResource(const std::string& name, const std::string& type, const std::string& bytes);

// Registry helpers; paths begin with "HKLM\" or "HKCU\". Keys are created with their parents.
void SimCreateKey(const std::string& path);
void SimSetDword(const std::string& path, const std::string& name, DWORD value);
void SimSetBinary(const std::string& path, const std::string& name, DWORD type, const std::string& bytes);
void SimSetString(const std::string& path, const std::string& name, const std::string& text);
bool SimKeyExists(const std::string& path);
bool SimValueExists(const std::string& path, const std::string& name);

// The module handle of advapi32, which GetModuleHandleA gives for its name.
HMODULE SimAdvapiHandle();

// advapi32's token functions by name (looked up through GetProcAddress), or NULL.
FARPROC SimTokenFunction(const char* pszName);
// Whether another installation holds the installer's execution mutex now.
bool SimIsInstallerBusy();
// Closes a mutex handle; false when the handle is not a mutex's.
bool SimCloseMutex(HANDLE hObject);

// Whether an open handle keeps other processes from writing (deleting) the file.
bool SimFileHeldAgainstWriters(const std::string& windowsPath);

// Notes that the scratch directory changed, so the next reset makes it anew.
void SimMarkScratchChanged();

// Files: the host path of a Windows path, and whole-file access.
std::string SimHostPath(const std::string& windowsPath);
void SimWriteFile(const std::string& windowsPath, const std::string& content);
bool SimReadFile(const std::string& windowsPath, std::string& content);
bool SimFileExists(const std::string& windowsPath);

// Calls of the log whose text begins with prefix, in order.
std::vector<std::string> SimCallsStartingWith(const std::string& prefix);

// Arguments of a logged call: a text as it stands, a quoted text (NULL for a null
// pointer), a number in decimal or in hexadecimal.
struct SimQuoted {
    const char* psz;
};
struct SimHex {
    DWORD n;
};
void SimAppendArg(std::string& line, const std::string& text);
void SimAppendArg(std::string& line, const char* psz);
void SimAppendArg(std::string& line, SimQuoted quoted);
void SimAppendArg(std::string& line, SimHex hex);
void SimAppendArg(std::string& line, long long n);
inline void SimAppendArg(std::string& line, int n) { SimAppendArg(line, static_cast<long long>(n)); }
inline void SimAppendArg(std::string& line, unsigned n) { SimAppendArg(line, static_cast<long long>(n)); }

// Logs "Name(arg,arg,...)" while the call log is on; the arguments are formatted only then.
template <typename... Args>
void SimLogCall(const char* pszFunction, const Args&... args)
{
    if (!Sim().bLogCalls)
        return;
    std::string line = pszFunction;
    line += '(';
    const char* pszSeparator = "";
    ((line += pszSeparator, SimAppendArg(line, args), pszSeparator = ","), ...);
    line += ')';
    Sim().calls.push_back(line);
}
