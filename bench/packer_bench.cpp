// Envelope throughput on list text: LZSS (the form the engine writes) and zlib.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "dataset/packer.h"
#include "list_text.h"

namespace {

const std::vector<unsigned char>& OneMegabyteOfListText() {
  static const std::vector<unsigned char> text = [] {
    std::string s = MakeComponentListText(4000);
    s.resize(1 << 20, ' ');
    return std::vector<unsigned char>(s.begin(), s.end());
  }();
  return text;
}

void Pack(benchmark::State& state, int variant) {
  const auto& input = OneMegabyteOfListText();
  std::vector<unsigned char> packed;
  for (auto _ : state) {
    Kt_Packer::Pack(input, packed, variant);
    benchmark::DoNotOptimize(packed.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
  state.counters["ratio"] = static_cast<double>(packed.size()) / input.size();
}

void Unpack(benchmark::State& state, int variant) {
  const auto& input = OneMegabyteOfListText();
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

BENCHMARK_CAPTURE(Pack, lzss, Kt_Packer::kLzss)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Unpack, lzss, Kt_Packer::kLzss)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pack, zlib, Kt_Packer::kZlib)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Unpack, zlib, Kt_Packer::kZlib)->Unit(benchmark::kMillisecond);
