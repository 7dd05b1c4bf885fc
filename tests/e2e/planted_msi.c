/* An impostor msi.dll for the planting scenario: loading it writes C:\planted-msi-loaded.txt. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        HANDLE file = CreateFileA("C:\\planted-msi-loaded.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
            (void)CloseHandle(file);
    }
    return TRUE;
}
