// The one header through which the logic reaches Win32, msi.dll and the C runtime.
//
// Target build: the real headers; the five installer functions are defined by
// platform/win32/msi_loader.cpp, which loads msi.dll from the system directory.
// Host build: the same subset declared with Windows' sizes and implemented by
// platform/sim over an in-memory machine. Only what the launcher calls is here.
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <msi.h>
#include <sddl.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <string.h>

// The platform layer's own: the full path msi.dll was loaded from (loading it if need
// be), or 0 with the load's error as the thread's last error.
DWORD GetInstallerLibraryPath(LPSTR lpPath, DWORD nSize);

#else  // host build on the simulated machine

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define WINAPI
#define CALLBACK

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* HANDLE;
typedef DWORD LCID;
typedef LONG LSTATUS;
typedef uintptr_t ULONG_PTR;

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HRSRC__;
typedef HRSRC__* HRSRC;
typedef void* HGLOBAL;
struct HWND__;
typedef HWND__* HWND;
struct HKEY__;
typedef HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;

#define TRUE 1
#define FALSE 0

#define MAKEINTRESOURCEA(i) ((LPSTR)(ULONG_PTR)(WORD)(i))
#define IS_INTRESOURCE(p) (((ULONG_PTR)(p) >> 16) == 0)

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_FILE_EXISTS 80L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_NOT_ALL_ASSIGNED 1300L
#define ERROR_INSTALL_USEREXIT 1602L
#define ERROR_UNKNOWN_PRODUCT 1605L
#define ERROR_INSTALL_ALREADY_RUNNING 1618L
#define ERROR_SUCCESS_REBOOT_INITIATED 1641L
#define ERROR_SUCCESS_REBOOT_REQUIRED 3010L

#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define REG_NONE 0
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4

#define MB_OK 0x00000000L
#define MB_YESNO 0x00000004L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONINFORMATION 0x00000040L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L
#define IDYES 6
#define IDNO 7

#define EWX_REBOOT 0x00000002
#define SHTDN_REASON_MAJOR_APPLICATION 0x00040000
#define SHTDN_REASON_MINOR_INSTALLATION 0x00000002
#define SHTDN_REASON_FLAG_PLANNED 0x80000000u

#define SYNCHRONIZE 0x00100000L
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_ABANDONED 0x00000080L
#define WAIT_TIMEOUT 258L
#define WAIT_FAILED 0xFFFFFFFFu

#define MOVEFILE_DELAY_UNTIL_REBOOT 0x00000004
#define MAX_PATH 260
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define FILE_END 2
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define INVALID_FILE_SIZE 0xFFFFFFFFu
#define SDDL_REVISION_1 1

typedef uint32_t ULONG;
typedef ULONG* PULONG;
typedef BYTE BOOLEAN;
typedef void* PSECURITY_DESCRIPTOR;
typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;
typedef int(WINAPI* FARPROC)(void);
typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *LPSYSTEMTIME;
typedef void* HLOCAL;
typedef struct _LUID {
    DWORD LowPart;
    LONG HighPart;
} LUID, *PLUID;
typedef struct _LUID_AND_ATTRIBUTES {
    LUID Luid;
    DWORD Attributes;
} LUID_AND_ATTRIBUTES;
typedef struct _TOKEN_PRIVILEGES {
    DWORD PrivilegeCount;
    LUID_AND_ATTRIBUTES Privileges[1];
} TOKEN_PRIVILEGES, *PTOKEN_PRIVILEGES;
typedef HANDLE* PHANDLE;
#define TOKEN_QUERY 0x0008
#define TOKEN_ADJUST_PRIVILEGES 0x0020
#define SE_PRIVILEGE_ENABLED 0x00000002L
#define SE_SHUTDOWN_NAME "SeShutdownPrivilege"
typedef struct _TIME_ZONE_INFORMATION {
    LONG Bias;
    WORD StandardName[32];
    SYSTEMTIME StandardDate;
    LONG StandardBias;
    WORD DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
} TIME_ZONE_INFORMATION, *LPTIME_ZONE_INFORMATION;
#define TIME_ZONE_ID_INVALID 0xFFFFFFFFu
#define TIME_ZONE_ID_DAYLIGHT 2
#define MAX_COMPUTERNAME_LENGTH 15
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;

// Installer states and levels, as msi.h names them.
typedef int INSTALLSTATE;
#define INSTALLSTATE_INVALIDARG (-2)
#define INSTALLSTATE_UNKNOWN (-1)
#define INSTALLSTATE_ADVERTISED 1
#define INSTALLSTATE_ABSENT 2
#define INSTALLSTATE_LOCAL 3
#define INSTALLSTATE_SOURCE 4
#define INSTALLSTATE_DEFAULT 5
typedef int INSTALLUILEVEL;
#define INSTALLUILEVEL_DEFAULT 1
#define INSTALLUILEVEL_NONE 2
#define INSTALLPROPERTY_VERSIONSTRING "VersionString"
#define INSTALLLOGMODE_FATALEXIT 0x0001
#define INSTALLLOGMODE_ERROR 0x0002
#define INSTALLLOGMODE_WARNING 0x0004
#define INSTALLLOGMODE_USER 0x0008
#define INSTALLLOGMODE_INFO 0x0010
#define INSTALLLOGMODE_FILESINUSE 0x0020
#define INSTALLLOGMODE_RESOLVESOURCE 0x0040
#define INSTALLLOGMODE_OUTOFDISKSPACE 0x0080
#define INSTALLLOGMODE_ACTIONSTART 0x0100
#define INSTALLLOGMODE_ACTIONDATA 0x0200
#define INSTALLLOGMODE_PROPERTYDUMP 0x0400
#define INSTALLLOGMODE_COMMONDATA 0x0800
#define INSTALLLOGMODE_VERBOSE 0x1000
#define INSTALLLOGATTRIBUTES_APPEND 0x0001
#define INSTALLLOGATTRIBUTES_FLUSHEACHLINE 0x0002

// kernel32
HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
DWORD WINAPI GetLastError(void);
HLOCAL WINAPI LocalFree(HLOCAL hMem);
BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName);
UINT WINAPI GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName);
HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL WINAPI CloseHandle(HANDLE hObject);
BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPVOID lpOverlapped);
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPVOID lpOverlapped);
DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
DWORD WINAPI GetShortPathNameA(LPCSTR lpszLongPath, LPSTR lpszShortPath, DWORD cchBuffer);
DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart);
DWORD WINAPI GetTickCount(void);
DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod);
HANDLE WINAPI OpenMutexA(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName);
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
BOOL WINAPI ReleaseMutex(HANDLE hMutex);
void WINAPI Sleep(DWORD dwMilliseconds);
HANDLE WINAPI GetCurrentProcess(void);
BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize);
DWORD WINAPI GetTimeZoneInformation(LPTIME_ZONE_INFORMATION lpTimeZoneInformation);
DWORD WINAPI GetCurrentProcessId(void);
DWORD WINAPI GetCurrentThreadId(void);
void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime);
LPSTR WINAPI GetCommandLineA(void);
HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID WINAPI LockResource(HGLOBAL hResData);
DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);
UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize);
UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize);
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);
BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags);
BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName);
BOOL WINAPI DeleteFileA(LPCSTR lpFileName);
BOOL WINAPI SetThreadLocale(LCID Locale);
HANDLE WINAPI GetProcessHeap(void);
LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, size_t dwBytes);
BOOL WINAPI HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem);
LPSTR WINAPI lstrcpyA(LPSTR lpString1, LPCSTR lpString2);
LPSTR WINAPI lstrcatA(LPSTR lpString1, LPCSTR lpString2);
int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2);
int WINAPI lstrlenA(LPCSTR lpString);

// user32
int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
BOOL WINAPI ExitWindowsEx(UINT uFlags, DWORD dwReason);

// advapi32
LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData);
LONG WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LONG WINAPI RegCloseKey(HKEY hKey);
BOOL WINAPI GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer);

// msi.dll
INSTALLSTATE WINAPI MsiQueryProductStateA(LPCSTR szProduct);
UINT WINAPI MsiGetProductInfoA(LPCSTR szProduct, LPCSTR szAttribute, LPSTR lpValueBuf, LPDWORD pcchValueBuf);
INSTALLSTATE WINAPI MsiQueryFeatureStateA(LPCSTR szProduct, LPCSTR szFeature);
UINT WINAPI MsiConfigureProductExA(LPCSTR szProduct, int iInstallLevel, INSTALLSTATE eInstallState,
                                   LPCSTR szCommandLine);
INSTALLUILEVEL WINAPI MsiSetInternalUI(INSTALLUILEVEL dwUILevel, HWND* phWnd);
UINT WINAPI MsiEnableLogA(DWORD dwLogMode, LPCSTR szLogFile, DWORD dwLogAttributes);
UINT WINAPI MsiEnumPatchesA(LPCSTR szProduct, DWORD iPatchIndex, LPSTR lpPatchBuf, LPSTR lpTransformsBuf,
                            LPDWORD pcchTransformsBuf);
DWORD GetInstallerLibraryPath(LPSTR lpPath, DWORD nSize);  // see the target build's declaration

// The C runtime's command line, as the runtime splits it.
extern int __argc;
extern char** __argv;

// Runtime functions that do not exist on the host, implemented by the simulation.
char* _tempnam(const char* dir, const char* prefix);
int _access(const char* path, int mode);
int _fileno(FILE* stream);
int _commit(int fd);
int _open(const char* path, int oflag, int pmode);
int _close(int fd);
#define _O_WRONLY 0x0001
#define _O_CREAT 0x0100
#define _O_EXCL 0x0400
#define _O_BINARY 0x8000
#define _S_IREAD 0x0100
#define _S_IWRITE 0x0080

// The runtime's file calls reach the simulated machine in the logic's own code, so
// that paths map into its scratch directory and failures can be injected.
FILE* SimFopen(const char* path, const char* mode);
FILE* SimFdopen(int fd, const char* mode);
size_t SimFwrite(const void* data, size_t size, size_t count, FILE* stream);
int SimFclose(FILE* stream);
size_t SimFread(void* buffer, size_t size, size_t count, FILE* stream);
int SimFerror(FILE* stream);
#ifdef SPLAUNCH_LOGIC
#define fopen SimFopen
#define _fdopen SimFdopen
#define fwrite SimFwrite
#define fclose SimFclose
#define fread SimFread
#define ferror SimFerror
#endif

#endif  // _WIN32
