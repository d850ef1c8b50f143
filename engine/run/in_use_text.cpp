#include "engine/run/in_use_text.h"

#include "config/wide_text.h"

#include <oleauto.h>

#include <cstdlib>

namespace kt::engine {
namespace {

std::string ImageName(DWORD processId) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return std::string();
  char path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  const BOOL read = ::QueryFullProcessImageNameA(process, 0, path, &size);
  ::CloseHandle(process);
  if (!read) return std::string();
  const std::string full(path, size);
  const size_t slash = full.find_last_of("\\/");
  return slash == std::string::npos ? full : full.substr(slash + 1);
}

// Replaces the "%s" markers in order; a marker without an argument left stays empty.
std::string Format(const std::string& text, std::initializer_list<const std::string*> arguments) {
  std::string out;
  auto next = arguments.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
      if (next != arguments.end()) out += **next++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> ProcessNames(const std::vector<Kt_ProcessEntry>& processes) {
  std::vector<std::string> names;
  for (const Kt_ProcessEntry& process : processes) {
    std::string name = ImageName(static_cast<DWORD>(std::strtoul(process.processId.c_str(), nullptr, 10)));
    names.push_back(name.empty() ? process.processId : name);
  }
  return names;
}

std::string InUseMessage(const std::string& withPrograms, const std::string& withoutPrograms,
                         const std::string& file, const std::vector<std::string>& names) {
  if (names.empty()) return Format(withoutPrograms, {&file});
  std::string list;
  for (const std::string& name : names) list += "\n\t" + name;
  return Format(withPrograms, {&file, &list});
}

InUseInfo::InUseInfo(const std::vector<std::string>& names) {
  ::VariantInit(&value_);
  SAFEARRAY* array = ::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(names.size()));
  if (array == nullptr) return;
  for (LONG i = 0; i < static_cast<LONG>(names.size()); ++i) {
    std::wstring wide;
    kt::AnsiToWide(names[static_cast<size_t>(i)], wide);
    BSTR text = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    ::SafeArrayPutElement(array, &i, text);  // copies the string
    ::SysFreeString(text);
  }
  V_VT(&value_) = VT_ARRAY | VT_BSTR;
  V_ARRAY(&value_) = array;
}

InUseInfo::~InUseInfo() { ::VariantClear(&value_); }

}  // namespace kt::engine
