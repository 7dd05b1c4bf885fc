// The fixture's fresh machine, and the global state of the launcher reset between tests.
#include "tests/unit/test_machine.h"

#include "app/globals.h"
#include "app/patchapp.h"
#include "messages/exitcode.h"
#include "messages/log.h"

const char* const kNeutralDescription = "ProductCode={4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}\r\n"
                                        "ProductVersionCandidate=7.0.43.5; 7.0.61.1\r\n"
                                        "PatchTitle=Kelvarin 2004 SP1\r\n"
                                        "PatchGUID={B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}\r\n"
                                        "PatchFileLocation=\r\n";

const char* const kTitleSuffix =
    " PATCHTITLE=\"Kelvarin 2004 SP1\" PATCHGUID=\"{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}\"";

const char* const kLog = "C:\\logs\\run.log";

void MachineTest::SetUp()
{
    SimReset();
    ResetProcessGlobals();
    g_hInstance = GetModuleHandleA(NULL);
    ResetRunExitCode();
    StopLog();
    SimSetString(IDS_ERROR_FORMAT, "Error %d: The %s update was not applied");
    SimSetString(IDS_SUCCESS, "The %s update has been successfully applied");
    SimSetString(IDS_NOT_INSTALLED, "Product is not installed");
    SimSetString(IDS_WRONG_VERSION, "Incorrect product version installed");
    SimWriteFile("C:\\logs\\placeholder", "");
}

void MachineTest::TearDown()
{
    EXPECT_EQ(Sim().openKeyCount, 0) << "a registry key was left open";
    EXPECT_EQ(Sim().openFileCount, 0) << "a file was left open";
    EXPECT_TRUE(Sim().openHandles.empty()) << "a file handle was left open";
    EXPECT_EQ(Sim().liveDescriptors, 0) << "a security descriptor was not freed";
    EXPECT_EQ(Sim().ownedMutexCount, 0) << "the installer's mutex was kept";
    EXPECT_EQ(Sim().openMutexCount, 0) << "a mutex handle was left open";
    CloseLog();
    Sim().allocationsBeforeFailure = -1;
}

void MachineTest::AddResources(const std::string& description, const std::string& package)
{
    SimAddResource(SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, description);
    SimAddResource(SPLAUNCH_PACKAGE_NAME, SPLAUNCH_PACKAGE_TYPE, package);
}

void MachineTest::AddProductRows(unsigned i, const std::string& code, const std::string& accepted)
{
    SimSetString(IDS_PRODUCT_NAMES + i, "U1:Product " + std::to_string(i));
    SimSetString(IDS_PRODUCT_CODES + i, "U1:" + code);
    SimSetString(IDS_PRODUCT_LANGUAGES + i, "U1:1033");
    SimSetString(IDS_PRODUCT_TARGET_VERSIONS + i, "U1:7.1.0.5");
    SimSetString(IDS_PRODUCT_HOST_KEYS + i, "U1:Software\\Host\\P" + std::to_string(i));
    SimSetString(IDS_PRODUCT_ACCEPTED_VERSIONS + i, "U1:" + accepted);
}

void MachineTest::InstallProducts(int nProducts)
{
    for (int i = 0; i < nProducts; ++i) {
        AddProductRows(i, ProductCode(i));
        Install(ProductCode(i), "7.0.43.5");
    }
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

int MachineTest::RunLauncher(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {"splaunch.exe"};
    argv.insert(argv.end(), args.begin(), args.end());
    SimSetArgs(argv);
    CPatchApp app;
    (void)app.InitInstance();
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

std::string MachineTest::Failure(int nCode, const std::string& title)
{
    return "Error " + std::to_string(nCode) + ": The " + title + " update was not applied";
}

std::string MachineTest::Success(const std::string& title)
{
    return "The " + title + " update has been successfully applied";
}

std::string MachineTest::LogText()
{
    std::string text;
    return SimReadFile(kLog, text) ? text : "<no log>";
}

std::string ProductCode(int n)
{
    char sz[64];
    snprintf(sz, sizeof sz, "{4F2A7C15-3B9D-%04X-A1E6-5C8D2B7F9031}", n);
    return sz;
}
