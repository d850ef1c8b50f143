#ifndef KT_DATASET_BASE64_H
#define KT_DATASET_BASE64_H

#include <cstddef>

#include "dataset/text/astring.h"
#include "dataset/text/buffer.h"

// Standard base64 ("A-Z a-z 0-9 + /", "=" padding, no line breaks). Empty on size overflow.
Kt_AString Base64Encode(const void* bytes, std::size_t size) noexcept;
inline Kt_AString Base64Encode(const Kt_Buffer& bytes) noexcept { return Base64Encode(bytes.Data(), bytes.Size()); }

// Decodes leniently into `out`: white space is skipped, decoding ends at the first "=", other
// characters outside the alphabet are skipped, and a final lone character (too short to make a
// byte) is dropped. Returns true when the text was well-formed base64, false when something had
// to be skipped or dropped; `out` holds the decoded bytes either way.
bool Base64Decode(const char* text, std::size_t length, Kt_Buffer& out) noexcept;
inline bool Base64Decode(const Kt_AString& text, Kt_Buffer& out) noexcept {
  return Base64Decode(text.c_str(), text.Length(), out);
}

#endif
