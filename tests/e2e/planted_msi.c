/* An impostor msi.dll for the planting scenario: loading it writes C:\planted-msi-loaded.txt. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        HANDLE file = CreateFileA("C:\\planted-msi-loaded.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, "loaded\r\n", 8, &written, NULL);
            CloseHandle(file);
        }
    }
    return TRUE;
}

/* Were it ever used, the product would look absent. */
__attribute__((dllexport)) int WINAPI MsiQueryProductStateA(const char* product)
{
    (void)product;
    return -1;
}
