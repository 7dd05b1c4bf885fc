// Reading /q and /e <path> from the runtime's split command line.
#pragma once

// Sets g_bQuiet, g_bExtractOnly and g_strExtractPath from argv[1..argc-1]; the
// globals are reset first. Unknown arguments are ignored.
void ReadCommandLine(int argc, char** argv);
