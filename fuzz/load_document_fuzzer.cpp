// Feeds arbitrary bytes to LoadDocument: XML text in any encoding and the binary form (inputs
// that start with FF 21). A document it accepts must save and load again with the same shape.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/documents/dataset_xml_writer.h"
#include "dataset/documents/document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  Kt_DocumentStatus status;
  const int count = LoadDocument(data, size, params, datasets, codePage, &status);
  if ((count < 0) != status.Failed()) __builtin_trap();
  if (count < 0) return 0;
  for (const bool binary : {false, true}) {
    std::vector<unsigned char> saved;
    // Text the XML form cannot carry (zero bytes, names that are no XML names) may be refused.
    if (SaveDocument(params, datasets, kSelectRecordsAndChanges, nullptr, 0, binary, saved) < 0) continue;
    Kt_ParamList params2;
    Kt_DatasetList datasets2;
    unsigned codePage2 = 0;
    const int again = LoadDocument(saved, params2, datasets2, codePage2);
    if (params.Count() > 0 || datasets.Count() > 0) {
      if (again != datasets.Count() || params2.Count() != params.Count()) __builtin_trap();
    }
  }
  return 0;
}
