// The installer's own texts and the text for a failure code.
#include "bootstrap/installer_texts.h"

#include <cstdio>

#include "device/unique_handle.h"

namespace kt::bootstrap {

const char kCancelQuestion[] =
    "\xbc\xb3\xc4\xa1\xbd\xc3 \xc3\xd6\xb4\xeb 3\xba\xd0\xc1\xa4\xb5\xb5 \xbc\xd2\xbf\xe4\xb5\xcb\xb4\xcf\xb4\xd9."
    "\n\xb0\xad\xc1\xa6\xb7\xce \xc1\xbe\xb7\xe1\xc7\xcf\xbd\xc3\xb0\xda\xbd\xc0\xb4\xcf\xb1\xee?";
const char kInstallFromSite[] =
    "\xc7\xd8\xb4\xe7 site\xbf\xa1\xbc\xad \xbe\xcf\xc8\xa3\xc8\xad\xb8\xf0\xb5\xe2\xc0\xbb "
    "\xbc\xb3\xc4\xa1\xc8\xc4 \xbd\xc7\xc7\xe0\xc7\xcf\xbd\xc3\xb1\xe2 \xb9\xd9\xb6\xf8\xb4\xcf\xb4\xd9.";
const char kVersionDownloadFailed[] =
    "version\xc1\xa4\xba\xb8\xb8\xa6 \xbe\xf2\xb4\xc2\xb5\xa5 \xbd\xc7\xc6\xd0 \xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9."
    "\n version\xb0\xe6\xb7\xce\xbf\xa1 \xc7\xd8\xb4\xe7\xc7\xcf\xb4\xc2 \xc6\xc4\xc0\xcf\xc0\xcc "
    "\xc1\xb8\xc0\xe7\xc7\xcf\xb4\xc2\xc1\xf6 \xc8\xae\xc0\xce\xc7\xcf\xbd\xca\xbd\xc3\xbf\xe4\n[%s]";
const char kEllipsis949[] = "\xa1\xa6";

const char kUsageText[] =
    "Usage : kt_installer.exe\t clsid codebase\t version [proc_cnt] or \n"
    "        kt_installer.exe\t fileName URL WEB [proc_cnt]";
const char kInputValueFormat[] = "input Value = %s %s %s %s\n";
const char kVersionFileOpenFailed[] = "Failed to Open Version File!";
const char kVersionFileReadFailed[] = "Failed to read Version File!";
const char kVersionFileMalformed[] = "The version is not four numbers separated by commas.\n[%s]";
const char kCabDownCreateFailed[] = "Failed Create CabDown";
const char kBrowserNotFound[] = "Could not find associated Browser!";
const char kWebPageNotOpened[] = "Web Page not Opened";
const char kWebPageCaption[] = "IeController";

namespace {

struct CodeText {
  HRESULT code;
  const char* text;
};

const char kNotFound[] =
    "File not found.\nThe file could not be found at the specified URL.\nPlease make sure the URL is correct.";

const CodeText kInetTexts[] = {
    {static_cast<HRESULT>(0x800C0002), "The URL could not be parsed."},
    {static_cast<HRESULT>(0x800C0003), "No Internet session was established."},
    {static_cast<HRESULT>(0x800C0004), "The attempt to connect to the Internet has failed."},
    {static_cast<HRESULT>(0x800C0005), kNotFound},
    {static_cast<HRESULT>(0x800C0006), kNotFound},
    {static_cast<HRESULT>(0x800C0007), "An Internet connection was established, but the data cannot be retrieved."},
    {static_cast<HRESULT>(0x800C0008), "The download has failed (the connection was interrupted)."},
    {static_cast<HRESULT>(0x800C0009), "Authentication is needed to access the object."},
    {static_cast<HRESULT>(0x800C000A), "The object is not in one of the acceptable MIME types."},
    {static_cast<HRESULT>(0x800C000B), "The Internet connection has timed out."},
    {static_cast<HRESULT>(0x800C000C), "The request was invalid."},
    {static_cast<HRESULT>(0x800C000D),
     "The protocol is not known and no pluggable protocols have been entered that match."},
    {static_cast<HRESULT>(0x800C000E), "A security problem was encountered."},
    {static_cast<HRESULT>(0x800C000F), "The object could not be loaded."},
    {static_cast<HRESULT>(0x800C0010), "CoCreateInstance failed."},
    {static_cast<HRESULT>(0x800C0011), "Use the default action."},
    {static_cast<HRESULT>(0x800C0013), "The requested option is unknown."},
    {static_cast<HRESULT>(0x800C0014), "The request is being redirected."},
    {static_cast<HRESULT>(0x800C0015), "The request is being redirected to a directory."},
    {static_cast<HRESULT>(0x800C0016), "The requested resource could not be locked."},
};

// Frees a buffer that FormatMessage allocated.
struct LocalMemoryTraits {
  using Value = char*;
  static Value Invalid() { return nullptr; }
  static bool Valid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::LocalFree(v); }
};

}  // namespace

std::string InetErrorText(HRESULT code) {
  for (const CodeText& entry : kInetTexts) {
    if (entry.code == code) return entry.text;
  }
  return "Unknown Error!\n Request A/S Center";
}

std::string SystemErrorText(HRESULT code) {
  char* buffer = nullptr;
  DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0,
      nullptr);
  kt::device::UniqueResource<LocalMemoryTraits> message(buffer);
  char text[300];
  if (length == 0 || !message) {
    // Transfer codes have no system message; their own text says more than "unknown Error".
    std::string transfer = InetErrorText(code);
    bool known = transfer != InetErrorText(E_FAIL);
    std::snprintf(text, sizeof(text), "0x%x:%s", static_cast<unsigned>(code),
                  known ? transfer.c_str() : "unknown Error");
  } else {
    int shown = static_cast<int>(length < 259 ? length : 259);
    std::snprintf(text, sizeof(text), "0x%x:%.*s", static_cast<unsigned>(code), shown, message.Get());
  }
  return text;
}

}  // namespace kt::bootstrap
