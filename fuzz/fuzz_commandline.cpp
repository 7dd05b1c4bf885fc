// Fuzz target: the command line against a model of its switches.
#include "app/commandline.h"
#include "app/globals.h"
#include "fuzz/harness.h"

#include <strings.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzReset();
    std::vector<std::string> args = FuzzSplit(pData, nSize, '\0', 16);
    args.back() = args.back().substr(0, args.back().find('\0'));  // arguments are C strings
    args.insert(args.begin(), "splaunch.exe");
    SimSetArgs(args);
    ReadCommandLine(__argc, __argv);
    // The model: whole arguments in any case; the argument after /e is its path, whatever it is.
    bool bQuiet = false;
    bool bExtract = false;
    std::string path;
    for (size_t i = 1; i < args.size(); ++i) {
        if (strcasecmp(args[i].c_str(), "/q") == 0) {
            bQuiet = true;
        } else if (strcasecmp(args[i].c_str(), "/e") == 0) {
            bExtract = true;
            if (i + 1 < args.size())
                path = args[++i];
        }
    }
    FuzzCheck(g_bQuiet == bQuiet && g_bExtractOnly == bExtract, "the switches are the model's");
    FuzzCheck(std::string(g_strExtractPath) == path, "the path is the model's");
    return 0;
}
