// Envelope throughput on list text: LZSS (the form the engine writes) and zlib.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "dataset/binary/packer.h"
#include "list_text.h"

namespace {

// List text cut to the given number of megabytes (1 or 16).
const std::vector<unsigned char>& ListText(int megabytes) {
  static const auto make = [](int size) {
    std::string s = MakeComponentListText(4000 * size);
    s.resize(static_cast<std::size_t>(size) << 20, ' ');
    return std::vector<unsigned char>(s.begin(), s.end());
  };
  static const std::vector<unsigned char> one = make(1);
  if (megabytes == 1) return one;
  static const std::vector<unsigned char> sixteen = make(16);
  return sixteen;
}

void Pack(benchmark::State& state, int variant, int megabytes) {
  const auto& input = ListText(megabytes);
  std::vector<unsigned char> packed;
  for (auto _ : state) {
    Kt_Packer::Pack(input, packed, variant);
    benchmark::DoNotOptimize(packed.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
  state.counters["ratio"] = static_cast<double>(packed.size()) / input.size();
}

void Unpack(benchmark::State& state, int variant) {
  const auto& input = ListText(1);
  std::vector<unsigned char> packed, output;
  Kt_Packer::Pack(input, packed, variant);
  for (auto _ : state) {
    if (Kt_Packer::Unpack(packed, output) != Kt_Packer::kOk || output.size() != input.size()) {
      state.SkipWithError("unpack failed");
      break;
    }
    benchmark::DoNotOptimize(output.data());
  }
  // Throughput counts the bytes that come out, as a reader of documents sees it.
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
}

}  // namespace

BENCHMARK_CAPTURE(Pack, lzss, Kt_Packer::kLzss, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pack, lzss_16MB, Kt_Packer::kLzss, 16)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Unpack, lzss, Kt_Packer::kLzss)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pack, zlib, Kt_Packer::kZlib, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Unpack, zlib, Kt_Packer::kZlib)->Unit(benchmark::kMillisecond);
