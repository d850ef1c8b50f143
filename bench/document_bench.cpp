// LoadDocument and SaveDocument of a 10,000-row component list in each form, with pugixml parsing
// the same XML text as the yardstick for the XML reader.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

#include "dataset/documents/dataset_xml_writer.h"
#include "dataset/documents/document.h"
#include "dataset/xml/dom_document.h"
#include "dataset/binary/packer.h"
#include "list_text.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Forms {
  Bytes xml, binary, lzss;
};

const Forms& ComponentList() {
  static const Forms forms = [] {
    Forms f;
    const std::string text = MakeComponentListText(10000);
    f.xml.assign(text.begin(), text.end());
    Kt_ParamList params;
    Kt_DatasetList datasets;
    unsigned codePage = 0;
    if (LoadDocument(f.xml, params, datasets, codePage) != 1) std::abort();
    if (SaveDocument(params, datasets, kSelectAllRecords, nullptr, codePage, true, f.binary) <= 0) std::abort();
    if (Kt_Packer::Pack(f.xml, f.lzss, Kt_Packer::kLzss) != Kt_Packer::kOk) std::abort();
    return f;
  }();
  return forms;
}

void Load(benchmark::State& state, const Bytes Forms::*form, bool packed) {
  const Bytes& input = ComponentList().*form;
  Bytes plain;
  for (auto _ : state) {
    Kt_ParamList params;
    Kt_DatasetList datasets;
    unsigned codePage = 0;
    const Bytes* document = &input;
    if (packed) {
      Kt_Packer::Unpack(input, plain);
      document = &plain;
    }
    if (LoadDocument(*document, params, datasets, codePage) != 1) {
      state.SkipWithError("load failed");
      break;
    }
    benchmark::DoNotOptimize(datasets.Count());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * ComponentList().xml.size());
  state.counters["rows"] = 10000;
}

void Save(benchmark::State& state, bool binary) {
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  LoadDocument(ComponentList().xml, params, datasets, codePage);
  Bytes out;
  for (auto _ : state) {
    if (SaveDocument(params, datasets, kSelectAllRecords, nullptr, codePage, binary, out) <= 0) {
      state.SkipWithError("save failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * ComponentList().xml.size());
}

// The text into the document tree alone, the first half of LoadDocument.
void ParseTree(benchmark::State& state) {
  const Bytes& input = ComponentList().xml;
  for (auto _ : state) {
    Kt_DOMDocument tree;
    if (tree.LoadText(std::string_view(reinterpret_cast<const char*>(input.data()), input.size())) <= 0) {
      state.SkipWithError("parse failed");
      break;
    }
    benchmark::DoNotOptimize(tree.Nodes().Count());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
}

void PugixmlParse(benchmark::State& state) {
  const Bytes& input = ComponentList().xml;
  for (auto _ : state) {
    pugi::xml_document document;
    if (!document.load_buffer(input.data(), input.size())) {
      state.SkipWithError("pugixml failed");
      break;
    }
    benchmark::DoNotOptimize(document.first_child());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
}

}  // namespace

// Throughput is counted in bytes of the XML text in every case, so the figures compare directly.
BENCHMARK_CAPTURE(Load, xml, &Forms::xml, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, binary, &Forms::binary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, lzss_xml, &Forms::lzss, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, xml, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, binary, true)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseTree)->Unit(benchmark::kMillisecond);
BENCHMARK(PugixmlParse)->Unit(benchmark::kMillisecond);
