// Benchmark: one product's whole turn on the simulated machine with many feature rows.
#include "app/globals.h"
#include "app/patchapp.h"
#include "messages/exitcode.h"
#include "platform/sim/sim.h"

#include <benchmark/benchmark.h>

namespace {

const char* const kCode = "{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}";

// One installed product with nRows first-band rows of four names; every other row's
// own feature is absent, so the snapshot grows with the rows.
void PrepareMachine(int nRows)
{
    SimReset();
    SimAddResource("#206", "TXT", "PatchTitle=T\r\nPatchGUID={G}\r\n");
    SimAddResource("IDR_MSP", "MSP", "package");
    SimSetString(300, "Error %d: The %s update was not applied");
    SimSetString(301, "The %s update has been successfully applied");
    SimSetString(400, "U1:Kelvarin 2004");
    SimSetString(500, std::string("U1:") + kCode);
    SimSetString(600, "U1:1033");
    SimSetString(700, "U1:7.1.0.5");
    SimSetString(800, "U1:Software\\Host");
    SimSetString(900, "U1:7.0.43.5,");
    SimProduct& product = Sim().products[kCode];
    product.version = "7.0.43.5";
    product.features["P"] = INSTALLSTATE_LOCAL;
    for (int i = 0; i < nRows; ++i) {
        const std::string own = "F" + std::to_string(i);
        const std::string group = "G" + std::to_string(i % 97);
        SimSetString(static_cast<UINT>(10001 + i), "U1:" + own + "," + own + "_X," + group + ",P");
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
