// The fixture's fresh machine, and the global state of the launcher reset between tests.
#include "tests/unit/test_machine.h"

#include "app/globals.h"
#include "messages/exitcode.h"

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
