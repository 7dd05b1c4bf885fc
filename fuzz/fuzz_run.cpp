// Fuzz target: whole runs of the launcher driven by an arbitrary string table and machine.
#include "app/patchapp.h"
#include "fuzz/harness.h"

#include <stdlib.h>

// Lines: "<id>=<text>" a string-table row; "P<code> <state> <version>" a product the
// installer knows; "F<code> <feature>=<state>" a feature of it; "R<result>" the result of
// the next configure call; "A<argument>" a command-line argument; "9" a Windows 98 machine;
// "X" a user who cannot make the protected folder; "H<code> <patch>" a patch applied to a
// product; "B<seconds>" another installation that holds the installer; "Y" a Yes to the
// restart question. The description and the package are the resources.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzReset();
    SimAddResource(SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, "PatchTitle=T\r\nPatchGUID={G}\r\n");
    SimAddResource(SPLAUNCH_PACKAGE_NAME, SPLAUNCH_PACKAGE_TYPE, "package");
    std::vector<std::string> args = {"splaunch.exe"};
    for (std::string line : FuzzSplit(pData, nSize, '\n', 256)) {
        line = line.substr(0, line.find('\0'));
        const size_t nBlank = line.find(' ');
        const size_t nEquals = line.find('=');
        if (line.empty()) {
            continue;
        } else if (line[0] >= '0' && line[0] <= '9' && nEquals != std::string::npos && nEquals < 6) {
            SimSetString(static_cast<UINT>(atoi(line.c_str())) & 0xFFFF, line.substr(nEquals + 1));
        } else if (line[0] == 'P' && nBlank != std::string::npos) {
            SimProduct& product = Sim().products[line.substr(1, nBlank - 1)];
            product.state = atoi(line.c_str() + nBlank + 1);
            const size_t nVersion = line.find(' ', nBlank + 1);
            product.version = nVersion == std::string::npos ? "" : line.substr(nVersion + 1);
        } else if (line[0] == 'F' && nBlank != std::string::npos && nEquals != std::string::npos && nEquals > nBlank) {
            Sim().products[line.substr(1, nBlank - 1)].features[line.substr(nBlank + 1, nEquals - nBlank - 1)] =
                atoi(line.c_str() + nEquals + 1);
        } else if (line[0] == 'R') {
            Sim().configureResults.push_back(static_cast<UINT>(strtoul(line.c_str() + 1, NULL, 10)));
        } else if (line[0] == 'A' && args.size() < 8) {
            args.push_back(line.substr(1));
        } else if (line == "9") {
            Sim().platformId = VER_PLATFORM_WIN32_WINDOWS;
            Sim().minorVersion = 10;
        } else if (line == "X") {
            Sim().bCreateDirectoryDenied = true;
        } else if (line[0] == 'H' && nBlank != std::string::npos) {
            Sim().products[line.substr(1, nBlank - 1)].patches.push_back({line.substr(nBlank + 1), ""});
        } else if (line[0] == 'B') {
            Sim().mutexHeldUntil["Global\\_MSIExecute"] = Sim().tickCount + 1000 * (strtoul(line.c_str() + 1, NULL, 10) % 4000);
        } else if (line == "Y") {
            Sim().questionAnswers.push_back(IDYES);
        }
    }
    SimSetArgs(args);
    {
        CPatchApp app;
        (void)app.InitInstance();
        (void)app.ExitInstance();
    }
    FuzzCheck(Sim().openKeyCount == 0 && Sim().openFileCount == 0 && Sim().openHandles.empty() &&
                  Sim().liveDescriptors == 0 && Sim().openMutexCount == 0,
              "every key, file, handle and descriptor is given back");
    FuzzCheck(Sim().ownedMutexCount == 0, "the installer's mutex is never kept");
    FuzzCheck(Sim().exitWindowsCalls.size() <= 1, "at most one restart");
    for (const SimConfigureCall& call : Sim().configureCalls) {
        const auto it = Sim().products.find(call.product);
        FuzzCheck(it != Sim().products.end() && (it->second.state == 1 || it->second.state == 5),
                  "only installed products are configured");
        FuzzCheck(call.commandLine.compare(0, 7, "PATCH=\"") == 0 || call.commandLine.compare(0, 8, "REMOVE=\"") == 0,
                  "a patch or a removal");
        FuzzCheck(call.commandLine.size() >= 22 &&
                      call.commandLine.compare(call.commandLine.size() - 22, 22, " REBOOT=ReallySuppress") == 0,
                  "the installer never restarts by itself");
    }
    return 0;
}
