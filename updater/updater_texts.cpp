#include "updater/updater_texts.h"

#include <cstdio>

namespace kt::updater {

const char kApplicationName[] = "Quorix3";

namespace {

HINSTANCE g_resourceModule = nullptr;

struct TransferError {
  unsigned long code;
  UINT string;
};

// URL moniker errors and their texts, searched in this order.
constexpr TransferError kTransferErrors[] = {
    {0x800C0003, 61447}, {0x800C0004, 61448}, {0x800C0005, 61449}, {0x800C0006, 61450}, {0x800C0007, 61451},
    {0x800C0008, 61452}, {0x800C0009, 61453}, {0x800C000A, 61454}, {0x800C000B, 61455}, {0x800C000C, 61456},
    {0x800C000D, 61457}, {0x800C000E, 61458}, {0x800C000F, 61459}, {0x800C0010, 61460}, {0x800C0015, 61461},
    {0x800C0016, 61462}, {0x800C0011, 61463}, {0x800C0013, 61464}, {0x800C0014, 61465},
};

}  // namespace

void SetResourceModule(HINSTANCE module) { g_resourceModule = module; }

HINSTANCE ResourceModule() { return g_resourceModule != nullptr ? g_resourceModule : ::GetModuleHandleA(nullptr); }

std::string ResourceString(UINT id) {
  char text[1024] = {0};
  const int length = ::LoadStringA(ResourceModule(), id, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string FormatProgressText(UINT id, long index, long total, const std::string& name, const std::string& label,
                               const std::string& separator, const std::string& unit) {
  const std::string pattern = ResourceString(id);
  if (pattern.empty()) return std::string();
  DWORD_PTR inserts[] = {static_cast<DWORD_PTR>(index),
                         static_cast<DWORD_PTR>(total),
                         reinterpret_cast<DWORD_PTR>(name.c_str()),
                         reinterpret_cast<DWORD_PTR>(label.c_str()),
                         reinterpret_cast<DWORD_PTR>(separator.c_str()),
                         reinterpret_cast<DWORD_PTR>(unit.c_str())};
  char* formatted = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER, pattern.c_str(), 0,
      0, reinterpret_cast<LPSTR>(&formatted), 0, reinterpret_cast<va_list*>(inserts));
  std::string result(formatted != nullptr ? formatted : "", length);
  if (formatted != nullptr) ::LocalFree(formatted);
  return result;
}

UINT TransferErrorString(long code) {
  for (const TransferError& error : kTransferErrors) {
    if (static_cast<unsigned long>(code) == error.code) return error.string;
  }
  return 0;
}

std::string ComposeErrorText(const std::string& file, long code, const std::string& tableText,
                             const std::string& eventMessage) {
  std::string text;
  if (!file.empty()) text += "FileName [" + file + "] \n";
  if (!tableText.empty()) return text + "ErrorMsg [" + tableText + "]\n";
  char head[64];
  std::snprintf(head, sizeof head, "ErrorCode [%ld]\n", code);
  return text + head + "ErrorMsg [" + eventMessage + "]\n";
}

}  // namespace kt::updater
