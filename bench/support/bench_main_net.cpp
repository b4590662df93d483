// Main of the benchmarks that open sockets: they only run in the private test network.
#include <benchmark/benchmark.h>

#include "testnet_guard.h"

int main(int argc, char **argv) {
    korvel::testing::RequireTestNetwork(argv[0]);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
