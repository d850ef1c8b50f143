#pragma once
// The installer's own texts. The Korean ones are kept as code-page-949 bytes (the installer's
// users read them in that code page); the English ones are plain ASCII.
#include <windows.h>

#include <string>

namespace kt::bootstrap {

// "The installation takes up to 3 minutes.\nDo you want to stop it?" (Korean)
extern const char kCancelQuestion[];
// "Please install the encryption module on that site, then start again." (Korean)
extern const char kInstallFromSite[];
// "Could not get the version information.\n Check that the version file exists\n[%s]" (Korean)
extern const char kVersionDownloadFailed[];
// The ellipsis character of code page 949 (two bytes).
extern const char kEllipsis949[];

extern const char kUsageText[];
extern const char kInputValueFormat[];
extern const char kVersionFileOpenFailed[];
extern const char kVersionFileReadFailed[];
extern const char kVersionFileMalformed[];
extern const char kCabDownCreateFailed[];
extern const char kBrowserNotFound[];
extern const char kWebPageNotOpened[];
extern const char kWebPageCaption[];

// The text the outcome of a download or installation shows for a failure code: the transport
// table, or "Unknown Error!\n Request A/S Center" for any other code.
std::string InetErrorText(HRESULT code);

// "0x%x:" followed by the system's message for the code (at most 259 characters), the transfer
// text for a transfer code the system has no message for, or "0x%x:unknown Error".
std::string SystemErrorText(HRESULT code);

}  // namespace kt::bootstrap
