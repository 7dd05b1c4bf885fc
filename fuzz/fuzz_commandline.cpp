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
    // The model: whole arguments in any case; the argument after /e or /l is its argument,
    // whatever it is; /l without one is ignored.
    bool bQuiet = false;
    bool bQuietInstaller = false;
    bool bExtract = false;
    bool bPlan = false;
    bool bUsage = false;
    std::string path;
    std::string log;
    for (size_t i = 1; i < args.size(); ++i) {
        const char* pszArg = args[i].c_str();
        if (strcasecmp(pszArg, "/q") == 0 || strcasecmp(pszArg, "/qn") == 0) {
            bQuiet = true;
            bQuietInstaller = bQuietInstaller || strcasecmp(pszArg, "/qn") == 0;
        } else if (strcasecmp(pszArg, "/e") == 0) {
            bExtract = true;
            if (i + 1 < args.size())
                path = args[++i];
        } else if (strcasecmp(pszArg, "/l") == 0) {
            if (i + 1 < args.size())
                log = args[++i];
        } else {
            bPlan = bPlan || strcasecmp(pszArg, "/plan") == 0;
            bUsage = bUsage || strcasecmp(pszArg, "/?") == 0 || strcasecmp(pszArg, "/help") == 0;
        }
    }
    FuzzCheck(g_bQuiet == bQuiet && g_bQuietInstaller == bQuietInstaller && g_bExtractOnly == bExtract &&
                  g_bPlanOnly == bPlan && g_bShowUsage == bUsage,
              "the switches are the model's");
    FuzzCheck(std::string(g_strExtractPath) == path && std::string(g_strLogPath) == log, "the paths are the model's");
    return 0;
}
