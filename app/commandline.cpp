// Reading /q and /e <path> from the runtime's split command line.
#include "app/commandline.h"

#include "app/globals.h"

void ReadCommandLine(int argc, char** argv)
{
    g_bQuiet = false;
    g_bExtractOnly = false;
    g_strExtractPath.Empty();
    for (int i = 1; i < argc; ++i) {
        if (lstrcmpiA(argv[i], "/q") == 0) {
            g_bQuiet = true;
        } else if (lstrcmpiA(argv[i], "/e") == 0) {
            g_bExtractOnly = true;
            // Whatever follows /e is its path, even another switch.
            if (i + 1 < argc)
                g_strExtractPath = argv[++i];
        }
    }
}
