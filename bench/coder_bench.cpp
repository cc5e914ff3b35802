// Splay-tree coding speed on page recordings, against a plain loop of the
// same algorithm over memory buffers.

#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "bench/reference_coder.h"
#include "platform/memory_stream.h"
#include "report/qr_compress.h"
#include "report/qr_stream.h"

namespace qrp::bench {
namespace {

constexpr std::size_t kDataSize = 4 << 20;

const std::vector<std::uint8_t>& Data()
{
    static const auto data = EmfLikeData(kDataSize);
    return data;
}

const std::vector<std::uint8_t>& Code()
{
    static const auto code = [] {
        std::vector<std::uint8_t> out(Data().size() * 33 + 1);
        out.resize(ReferenceEncode(Data().data(), Data().size(), out.data()));
        return out;
    }();
    return code;
}

void Encode(benchmark::State& state)
{
    for (auto _ : state) {
        // Coded into a page stream as a page is stored (it moves to a temporary file past 100000 bytes).
        TQRStream stream(TQRStream::kDefaultSpillLimit);
        TQRCompress compressor(stream, true);
        compressor.CompressBytes(Data().data(), Data().size());
        compressor.Finish();
        benchmark::DoNotOptimize(compressor.CodeBytes());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * static_cast<std::int64_t>(Data().size())));
    state.counters["ratio"] = static_cast<double>(Code().size()) / static_cast<double>(Data().size());
}

void Decode(benchmark::State& state)
{
    TMemoryStream code(Code());
    std::vector<std::uint8_t> out(Data().size());
    for (auto _ : state) {
        code.SetPosition(0);
        TQRCompress expander(code, false);
        expander.ExpandBytes(out.data(), out.size());
        expander.Finish();
        benchmark::DoNotOptimize(out.data());
    }
    if (out != Data())
        state.SkipWithError("decoded data differs");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * static_cast<std::int64_t>(Data().size())));
}

void EncodePlainLoop(benchmark::State& state)
{
    std::vector<std::uint8_t> out(Data().size() * 33 + 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReferenceEncode(Data().data(), Data().size(), out.data()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * static_cast<std::int64_t>(Data().size())));
}

void DecodePlainLoop(benchmark::State& state)
{
    std::vector<std::uint8_t> out(Data().size());
    for (auto _ : state) {
        ReferenceDecode(Code().data(), out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * static_cast<std::int64_t>(Data().size())));
}

BENCHMARK(Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodePlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodePlainLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qrp::bench
