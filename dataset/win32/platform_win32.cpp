#include "dataset/text/platform.h"

#include <windows.h>

#include <climits>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units pass as wchar_t");

namespace {

// The text FormatMessage allocates, freed with LocalFree.
class LocalText {
 public:
  LocalText() noexcept = default;
  ~LocalText() {
    if (m_text) LocalFree(m_text);
  }
  LocalText(const LocalText&) = delete;
  LocalText& operator=(const LocalText&) = delete;
  char** Receiver() noexcept { return &m_text; }
  const char* Get() const noexcept { return m_text; }

 private:
  char* m_text = nullptr;
};

}  // namespace

namespace kt_platform {

unsigned AnsiCodePage() noexcept { return GetACP(); }

bool ToWide(unsigned codePage, const char* bytes, std::size_t length, Kt_WString& out) noexcept {
  if (length > static_cast<std::size_t>(INT_MAX)) return false;
  int inLength = static_cast<int>(length);
  int needed = MultiByteToWideChar(codePage, 0, bytes, inLength, nullptr, 0);
  if (needed <= 0) return false;
  char16_t* target = out.GetBuffer(static_cast<std::size_t>(needed));
  if (!target) return false;
  int written = MultiByteToWideChar(codePage, 0, bytes, inLength, reinterpret_cast<wchar_t*>(target), needed);
  if (written <= 0) return false;
  if (written < needed) out.GetBuffer(static_cast<std::size_t>(written));
  return true;
}

bool FromWide(unsigned codePage, const char16_t* units, std::size_t length, Kt_AString& out) noexcept {
  if (length > static_cast<std::size_t>(INT_MAX)) return false;
  auto* wide = reinterpret_cast<const wchar_t*>(units);
  int inLength = static_cast<int>(length);
  int needed = WideCharToMultiByte(codePage, 0, wide, inLength, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return false;
  char* target = out.GetBuffer(static_cast<std::size_t>(needed));
  if (!target) return false;
  int written = WideCharToMultiByte(codePage, 0, wide, inLength, target, needed, nullptr, nullptr);
  if (written <= 0) return false;
  if (written < needed) out.GetBuffer(static_cast<std::size_t>(written));
  return true;
}

bool SystemMessage(std::uint32_t error, Kt_AString& text) noexcept {
  LocalText message;
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  DWORD length = FormatMessageA(flags, nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                reinterpret_cast<char*>(message.Receiver()), 0, nullptr);
  if (length == 0 || !message.Get()) return false;
  return text.Assign(message.Get(), length);
}

}  // namespace kt_platform
