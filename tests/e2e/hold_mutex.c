/* Another installation, as far as the launcher can tell: holds the named mutex (argument 1)
   for a number of seconds (argument 2), with a marker file (argument 3) that says "held"
   from the moment it has it and "released" once it let it go. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static void Mark(const char* path, const char* text)
{
    FILE* marker = fopen(path, "w");
    if (marker != NULL) {
        fputs(text, marker);
        fclose(marker);
    }
}

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    HANDLE mutex = CreateMutexA(NULL, TRUE, argv[1]);
    if (mutex == NULL || GetLastError() == ERROR_ALREADY_EXISTS)
        return 1;
    Mark(argv[3], "held");
    Sleep((DWORD)atoi(argv[2]) * 1000);
    Mark(argv[3], "released");
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}
