// Benchmark: one product's whole turn on the simulated machine with many feature rows.
#include "app/globals.h"
#include "app/patchapp.h"
#include "messages/exitcode.h"
#include "platform/sim/sim.h"
#include "res/resource.h"

#include <benchmark/benchmark.h>

namespace {

const char* const kCode = "{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}";

// One installed product with nRows first-band rows of four names; every other row's
// own feature is absent, so the snapshot grows with the rows.
void PrepareMachine(int nRows)
{
    SimReset();
    SimAddResource(SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, "PatchTitle=T\r\nPatchGUID={G}\r\n");
    SimAddResource(SPLAUNCH_PACKAGE_NAME, SPLAUNCH_PACKAGE_TYPE, "package");
    SimSetString(IDS_ERROR_FORMAT, "Error %d: The %s update was not applied");
    SimSetString(IDS_SUCCESS, "The %s update has been successfully applied");
    SimSetString(IDS_PRODUCT_NAMES, "U1:Kelvarin 2004");
    SimSetString(IDS_PRODUCT_CODES, std::string("U1:") + kCode);
    SimSetString(IDS_PRODUCT_LANGUAGES, "U1:1033");
    SimSetString(IDS_PRODUCT_TARGET_VERSIONS, "U1:7.1.0.5");
    SimSetString(IDS_PRODUCT_HOST_KEYS, "U1:Software\\Host");
    SimSetString(IDS_PRODUCT_ACCEPTED_VERSIONS, "U1:7.0.43.5,");
    SimProduct& product = Sim().products[kCode];
    product.version = "7.0.43.5";
    product.features["P"] = INSTALLSTATE_LOCAL;
    for (int i = 0; i < nRows; ++i) {
        const std::string own = "F" + std::to_string(i);
        const std::string group = "G" + std::to_string(i % 97);
        SimSetString(static_cast<UINT>(IDS_FEATURES_FIRST_BAND + i), "U1:" + own + "," + own + "_X," + group + ",P");
        product.features[own] = i % 2 == 0 ? INSTALLSTATE_ABSENT : INSTALLSTATE_LOCAL;
        product.features[own + "_X"] = INSTALLSTATE_LOCAL;
        product.features[group] = INSTALLSTATE_LOCAL;
    }
    SimSetArgs({"splaunch.exe", "/q"});
    Sim().bLogCalls = false;
}

void BM_ProductLoop(benchmark::State& state)
{
    const int nRows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        PrepareMachine(nRows);
        g_strTitle.Empty();
        ResetRunExitCode();
        state.ResumeTiming();
        {
            CPatchApp app;
            benchmark::DoNotOptimize(app.InitInstance());
        }
    }
    state.counters["rows"] = nRows;
}

}  // namespace

BENCHMARK(BM_ProductLoop)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
