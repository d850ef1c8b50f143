#include "config/wide_text.h"

#include <windows.h>

#include <climits>

namespace kt {

bool AnsiToWide(const std::string& text, std::wstring& out)
{
    out.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0) return false;
    out.resize(static_cast<size_t>(needed));
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, &out[0], needed) == needed;
}

bool WideToAnsi(const std::wstring& text, std::string& out)
{
    out.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const int length = static_cast<int>(text.size());
    // UTF-8 as the ANSI code page represents every character and accepts neither flag.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* lossyOut = utf8 ? nullptr : &lossy;
    const int needed = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, lossyOut);
    if (needed <= 0 || lossy) return false;
    out.resize(static_cast<size_t>(needed));
    const int written =
        WideCharToMultiByte(CP_ACP, flags, text.data(), length, &out[0], needed, nullptr, lossyOut);
    return written == needed && !lossy;
}

}  // namespace kt
