/* Run by a test patch's custom action each time the installer configures the product: tries
   to open the package for writing and to move it away, and appends what each attempt got to
   the result file, "write=<error> move=<error>" (0: it worked). The package is the one named
   by its first argument, or, when that is empty (a later call without PATCH=), the one named
   at the first run. A package it managed to move is put back. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    char package[MAX_PATH] = "";
    char remembered[MAX_PATH + 8];
    snprintf(remembered, sizeof remembered, "%s.path", argv[2]);
    FILE* memo = fopen(remembered, argv[1][0] != '\0' ? "w" : "r");
    if (memo == NULL)
        return 1;
    if (argv[1][0] != '\0') {
        snprintf(package, sizeof package, "%s", argv[1]);
        fputs(package, memo);
    } else if (fgets(package, sizeof package, memo) == NULL) {
        package[0] = '\0';
    }
    fclose(memo);

    DWORD write_error = 0;
    HANDLE file = CreateFileA(package, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        write_error = GetLastError();
    else
        CloseHandle(file);
    char moved[MAX_PATH + 8];
    snprintf(moved, sizeof moved, "%s.moved", package);
    DWORD move_error = 0;
    if (MoveFileA(package, moved))
        MoveFileA(moved, package);
    else
        move_error = GetLastError();
    FILE* result = fopen(argv[2], "a");
    if (result == NULL)
        return 1;
    fprintf(result, "write=%lu move=%lu\n", (unsigned long)write_error, (unsigned long)move_error);
    fclose(result);
    return 0;
}
