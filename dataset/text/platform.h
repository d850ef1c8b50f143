#ifndef KT_DATASET_PLATFORM_H
#define KT_DATASET_PLATFORM_H

#include <cstddef>
#include <cstdint>

#include "dataset/text/astring.h"
#include "dataset/text/wstring.h"

// The seam between the portable library and the operating system: one implementation in
// win32/ (national-language API, FormatMessage) and one in posix/ (iconv, environment).
namespace kt_platform {

// The ANSI code page the operating system reports (not cached, no override).
unsigned AnsiCodePage() noexcept;

// Conversions with a resolved code page other than 1200; false for an unknown code page.
bool ToWide(unsigned codePage, const char* bytes, std::size_t length, Kt_WString& out) noexcept;
bool FromWide(unsigned codePage, const char16_t* units, std::size_t length, Kt_AString& out) noexcept;

// The system's message text for an error number in the system code page, or false.
bool SystemMessage(std::uint32_t error, Kt_AString& text) noexcept;

}  // namespace kt_platform

#endif
