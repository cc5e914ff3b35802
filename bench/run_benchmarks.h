#pragma once
// Runs the benchmarks the command line selects, once the program has made
// its application object; main's result.

#include <benchmark/benchmark.h>

namespace qrp::bench {

inline int RunBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace qrp::bench
