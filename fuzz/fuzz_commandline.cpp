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
    // The model: whole arguments in any case; the argument after /e, /l (/log) or /wait is
    // its argument, whatever it is; one of them without it is ignored. /wait takes only
    // decimal digits up to 4294967 seconds, else keeps 600.
    bool bQuiet = false;
    bool bQuietInstaller = false;
    bool bExtract = false;
    bool bPlan = false;
    bool bUsage = false;
    bool bNoRestart = false;
    bool bForceRestart = false;
    unsigned long nWait = 600;
    std::string path;
    std::string log;
    for (size_t i = 1; i < args.size(); ++i) {
        const char* pszArg = args[i].c_str();
        const bool bNext = i + 1 < args.size();
        if (strcasecmp(pszArg, "/q") == 0 || strcasecmp(pszArg, "/qn") == 0 || strcasecmp(pszArg, "/quiet") == 0) {
            bQuiet = true;
            bQuietInstaller = bQuietInstaller || strcasecmp(pszArg, "/q") != 0;
        } else if (strcasecmp(pszArg, "/e") == 0) {
            bExtract = true;
            if (bNext)
                path = args[++i];
        } else if (strcasecmp(pszArg, "/l") == 0 || strcasecmp(pszArg, "/log") == 0) {
            if (bNext)
                log = args[++i];
        } else if (strcasecmp(pszArg, "/wait") == 0) {
            if (!bNext)
                continue;
            const std::string value = args[++i];
            unsigned long long nValue = 0;
            for (size_t j = 0; j < value.size() && nValue <= 4294967; ++j)
                nValue = nValue * 10 + static_cast<unsigned>(value[j] - '0');
            if (!value.empty() && value.find_first_not_of("0123456789") == std::string::npos && nValue <= 4294967)
                nWait = static_cast<unsigned long>(nValue);
        } else {
            bPlan = bPlan || strcasecmp(pszArg, "/plan") == 0;
            bUsage = bUsage || strcasecmp(pszArg, "/?") == 0 || strcasecmp(pszArg, "/help") == 0;
            bNoRestart = bNoRestart || strcasecmp(pszArg, "/norestart") == 0;
            bForceRestart = bForceRestart || strcasecmp(pszArg, "/forcerestart") == 0;
        }
    }
    FuzzCheck(g_bQuiet == bQuiet && g_bQuietInstaller == bQuietInstaller && g_bExtractOnly == bExtract &&
                  g_bPlanOnly == bPlan && g_bShowUsage == bUsage && g_bNoRestart == bNoRestart &&
                  g_bForceRestart == bForceRestart,
              "the switches are the model's");
    FuzzCheck(g_dwWaitSeconds == nWait, "the waiting budget is the model's");
    FuzzCheck(std::string(g_strExtractPath) == path && std::string(g_strLogPath) == log, "the paths are the model's");
    return 0;
}
