// The fixture's fresh machine, and the global state of the launcher reset between tests.
#include "tests/unit/test_machine.h"

#include "app/globals.h"
#include "app/patchapp.h"
#include "messages/exitcode.h"

#include <fstream>
#include <regex>

const char* const kNeutralDescription =
    "ProductCode={4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}\r\n"
    "ProductVersionCandidate=7.0.43.5; 7.0.61.1\r\n"
    "PatchTitle=Kelvarin 2004 SP1\r\n"
    "PatchGUID={B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}\r\n"
    "PatchFileLocation=\r\n";

const char* const kTitleSuffix = " PATCHTITLE=\"Kelvarin 2004 SP1\" PATCHGUID=\"{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}\"";

void MachineTest::SetUp()
{
    SimReset();
    g_hInstance = GetModuleHandleA(NULL);
    g_strTitle.Empty();
    g_bQuiet = false;
    g_bExtractOnly = false;
    g_strExtractPath.Empty();
    ResetRunExitCode();
}

void MachineTest::TearDown()
{
    EXPECT_EQ(Sim().openKeyCount, 0) << "a registry key was left open";
    EXPECT_EQ(Sim().openFileCount, 0) << "a file was left open";
    Sim().allocationsBeforeFailure = -1;
}

void MachineTest::AddMessageRows()
{
    SimSetString(300, "Error %d: The %s update was not applied");
    SimSetString(301, "The %s update has been successfully applied");
    SimSetString(307, "Product is not installed");
    SimSetString(308, "Incorrect product version installed");
}

void MachineTest::AddResources(const std::string& description, const std::string& package)
{
    SimAddResource("#206", "TXT", description);
    SimAddResource("IDR_MSP", "MSP", package);
}

void MachineTest::LoadShippedStrings()
{
    std::ifstream in(std::string(SPLAUNCH_SOURCE_DIR) + "/res/strings.rc");
    ASSERT_TRUE(in) << "res/strings.rc not found";
    const std::regex row("^\\s*(\\d+)\\s+\"(.*)\"\\s*$");
    std::string line;
    while (std::getline(in, line)) {
        std::smatch match;
        if (!std::regex_match(line, match, row))
            continue;
        std::string text;
        const std::string quoted = match[2];
        for (size_t i = 0; i < quoted.size(); ++i) {
            if ((quoted[i] == '\\' || quoted[i] == '"') && i + 1 < quoted.size() && quoted[i + 1] == quoted[i])
                ++i;
            text += quoted[i];
        }
        SimSetString(static_cast<UINT>(std::stoul(match[1])), text);
    }
}

void MachineTest::AddProductRows(unsigned i, const std::string& code, const std::string& accepted)
{
    SimSetString(400 + i, "U1:Product " + std::to_string(i));
    SimSetString(500 + i, "U1:" + code);
    SimSetString(600 + i, "U1:1033");
    SimSetString(700 + i, "U1:7.1.0.5");
    SimSetString(800 + i, "U1:Software\\Host\\P" + std::to_string(i));
    SimSetString(900 + i, "U1:" + accepted);
}

SimProduct& MachineTest::Install(const std::string& code, const std::string& version,
                                 const std::vector<std::string>& features, INSTALLSTATE state)
{
    SimProduct& product = Sim().products[code];
    product.version = version;
    for (const std::string& feature : features)
        product.features[feature] = state;
    return product;
}

int MachineTest::RunLauncher(const std::vector<std::string>& args, BOOL* pbInitResult)
{
    std::vector<std::string> argv = {"splaunch.exe"};
    argv.insert(argv.end(), args.begin(), args.end());
    SimSetArgs(argv);
    CPatchApp app;
    const BOOL bResult = app.InitInstance();
    if (pbInitResult != nullptr)
        *pbInitResult = bResult;
    return app.ExitInstance();
}

std::vector<std::string> MachineTest::MessageTexts()
{
    std::vector<std::string> texts;
    for (const SimMessageBox& box : Sim().messageBoxes)
        texts.push_back(box.text);
    return texts;
}

std::vector<std::string> MachineTest::ConfigureCommandLines()
{
    std::vector<std::string> lines;
    for (const SimConfigureCall& call : Sim().configureCalls)
        lines.push_back(call.commandLine);
    return lines;
}

std::string ProductCode(int n)
{
    char sz[64];
    snprintf(sz, sizeof sz, "{4F2A7C15-3B9D-%04X-A1E6-5C8D2B7F9031}", n);
    return sz;
}
