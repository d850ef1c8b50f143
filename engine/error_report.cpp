#include "engine/error_report.h"

#include <cstdio>

#include "dataset/text/error_msg.h"
#include "dataset/text/platform.h"

namespace kt::engine {
namespace {

constexpr unsigned kWindowsFacility = 24;
constexpr unsigned kFirstCatalogueFacility = 938;
constexpr unsigned kLastCatalogueFacility = 940;
constexpr int kMaxMessageLength = 260;

std::string SystemText(DWORD code) {
  Kt_AString text;
  if (!kt_platform::SystemMessage(code, text)) return std::string();
  std::string result(text.c_str(), text.Length());
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
  return result;
}

}  // namespace

std::string ErrorDetail(HRESULT result) {
  if (result == S_OK) return std::string();
  if (result > 0) return SystemText(static_cast<DWORD>(result));
  const unsigned facility = HRESULT_FACILITY(result);
  std::string detail;
  if (facility == kWindowsFacility) {
    detail = SystemText(static_cast<DWORD>(result) & 0xFFFFu);
  } else if (facility >= kFirstCatalogueFacility && facility <= kLastCatalogueFacility) {
    Kt_AString text;
    if (Kt_ErrorMsg().Lookup(kt_platform::AnsiCodePage(), static_cast<std::uint32_t>(result), text)) {
      detail.assign(text.c_str(), text.Length());
    }
  }
  if (detail.empty()) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "Unknown Error : %08x", static_cast<unsigned>(result));
    detail = buffer;
  }
  return detail;
}

void ApplyErrorReport(const ErrorReport& report, ErrorState& state) {
  if (report.messageId == 0 && report.result == S_OK) {
    state.Clear();
    return;
  }
  const std::string detail = ErrorDetail(report.result);
  std::string message = report.messageText.empty() ? detail : report.messageText;
  if (!report.messageText.empty() && !detail.empty()) message += "\n" + detail;
  if (report.extra != nullptr) message += "\n" + *report.extra;
  if (!report.name.empty()) message += "\n[" + report.name + "]";
  state.message = message;
  state.code = report.messageId != 0 ? static_cast<LONG>(report.messageId) : report.result;
}

std::string LoadMessageText(HMODULE module, UINT id) {
  wchar_t buffer[kMaxMessageLength + 1] = {};
  const int length = ::LoadStringW(module, id, buffer, kMaxMessageLength + 1);
  if (length <= 0) return std::string();
  const int size = ::WideCharToMultiByte(CP_ACP, 0, buffer, length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) ::WideCharToMultiByte(CP_ACP, 0, buffer, length, &text[0], size, nullptr, nullptr);
  return text;
}

}  // namespace kt::engine
