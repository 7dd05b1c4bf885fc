// The simulated machine's state, reset, command line, path mapping and helpers.
#include "platform/sim/sim.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

int __argc = 0;
char** __argv = NULL;

namespace {
SimMachine* g_pMachine = NULL;
bool g_bScratchChanged = false;
std::vector<char*> g_argv;

void RemoveTree(const std::string& path)
{
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

// The scratch directory goes with the process.
void RemoveScratch()
{
    if (g_pMachine != NULL)
        RemoveTree(g_pMachine->scratch);
}

void MakeDirectories(const std::string& path)
{
    std::string partial;
    std::istringstream parts(path);
    std::string part;
    while (std::getline(parts, part, '/')) {
        partial += part + "/";
        if (!part.empty())
            (void)mkdir(partial.c_str(), 0755);
    }
}
}  // namespace

SimMachine& Sim()
{
    if (g_pMachine == NULL)
        SimReset();
    return *g_pMachine;
}

void SimReset()
{
    std::string scratch;
    if (g_pMachine != NULL) {
        scratch = g_pMachine->scratch;
        delete g_pMachine;
    } else {
        std::string pattern = (std::filesystem::temp_directory_path() / "splaunch-sim-XXXXXX").string();
        if (mkdtemp(&pattern[0]) == NULL)
            abort();
        scratch = pattern;
        atexit(RemoveScratch);
        g_bScratchChanged = true;
    }
    // A scratch directory nothing has written to since the last reset is fresh already:
    // rebuilding it is what would make a reset slow.
    if (g_bScratchChanged) {
        RemoveTree(scratch);
        MakeDirectories(scratch + "/C/Temp");
        MakeDirectories(scratch + "/C/windows/system32");
        MakeDirectories(scratch + "/C/windows/Temp");
        MakeDirectories(scratch + "/C/cwd");
        g_bScratchChanged = false;
    }
    g_pMachine = new SimMachine;
    g_pMachine->scratch = scratch;
    SimSetArgs({"splaunch.exe"});
}

void SimMarkScratchChanged() { g_bScratchChanged = true; }

void SimSetArgs(const std::vector<std::string>& args)
{
    Sim().args = args;
    g_argv.clear();
    for (std::string& arg : Sim().args)
        g_argv.push_back(&arg[0]);
    g_argv.push_back(NULL);
    __argc = static_cast<int>(args.size());
    __argv = g_argv.data();
}

void SimSetString(UINT id, const std::string& text) { Sim().strings[id] = text; }

SimResource& SimAddResource(const std::string& name, const std::string& type, const std::string& bytes)
{
    SimResource resource;
    resource.name = name;
    resource.type = type;
    resource.bytes.assign(bytes.begin(), bytes.end());
    Sim().resources.push_back(resource);
    return Sim().resources.back();
}

void SimCreateKey(const std::string& path)
{
    for (size_t nSlash = path.find('\\'); nSlash != std::string::npos; nSlash = path.find('\\', nSlash + 1))
        (void)Sim().registry[path.substr(0, nSlash)];
    (void)Sim().registry[path];
}

void SimSetBinary(const std::string& path, const std::string& name, DWORD type, const std::string& bytes)
{
    SimCreateKey(path);
    SimRegValue& value = Sim().registry[path].values[name];
    value.type = type;
    value.data.assign(bytes.begin(), bytes.end());
}

void SimSetDword(const std::string& path, const std::string& name, DWORD value)
{
    SimSetBinary(path, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

void SimSetString(const std::string& path, const std::string& name, const std::string& text)
{
    SimSetBinary(path, name, REG_SZ, text + '\0');
}

bool SimKeyExists(const std::string& path) { return Sim().registry.count(path) != 0; }

bool SimValueExists(const std::string& path, const std::string& name)
{
    auto it = Sim().registry.find(path);
    return it != Sim().registry.end() && it->second.values.count(name) != 0;
}

std::string SimHostPath(const std::string& windowsPath)
{
    std::string path = windowsPath;
    for (char& ch : path)
        if (ch == '\\')
            ch = '/';
    if (path.size() >= 2 && path[1] == ':')
        return Sim().scratch + "/" + path.substr(0, 1) + path.substr(2);
    if (!path.empty() && path[0] == '/')
        return Sim().scratch + "/C" + path;
    // A relative path is relative to the current folder.
    return SimHostPath(Sim().currentDirectory + "\\" + windowsPath);
}

void SimWriteFile(const std::string& windowsPath, const std::string& content)
{
    SimMarkScratchChanged();
    const std::string host = SimHostPath(windowsPath);
    MakeDirectories(host.substr(0, host.rfind('/')));
    std::ofstream out(host, std::ios::binary);
    out << content;
}

bool SimReadFile(const std::string& windowsPath, std::string& content)
{
    std::ifstream in(SimHostPath(windowsPath), std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    content = text.str();
    return true;
}

bool SimFileExists(const std::string& windowsPath) { return access(SimHostPath(windowsPath).c_str(), F_OK) == 0; }

std::vector<std::string> SimCallsStartingWith(const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& call : Sim().calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call);
    return found;
}

void SimAppendArg(std::string& line, const std::string& text) { line += text; }

void SimAppendArg(std::string& line, const char* psz) { line += psz == NULL ? "NULL" : psz; }

void SimAppendArg(std::string& line, SimQuoted quoted)
{
    if (quoted.psz == NULL) {
        line += "NULL";
        return;
    }
    line += '"';
    line += quoted.psz;
    line += '"';
}

void SimAppendArg(std::string& line, SimHex hex)
{
    char sz[16];
    snprintf(sz, sizeof sz, "0x%X", hex.n);
    line += sz;
}

void SimAppendArg(std::string& line, long long n) { line += std::to_string(n); }
