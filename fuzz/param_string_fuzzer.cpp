// Feeds arbitrary text to the name=value parser: quotes left open, escapes at the end, lone lead
// bytes of double-byte characters, separators only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dataset/values/variable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);  // the parser reads to a zero
  Kt_ParamList list;
  const int count = list.ParseParamString(text.c_str());
  if (count != list.Count()) __builtin_trap();
  for (int i = 0; i < list.Count(); ++i) {
    const Kt_Variable* entry = list.At(i);
    if (!entry || list.Find(entry->name.c_str()) == nullptr) __builtin_trap();
    (void)entry->value.ToString();
  }
  return 0;
}
