#pragma once
// The SHA-256 of a file through the system's cryptographic service, so that the deliverables
// check downloads without a hashing library of their own.
#include <windows.h>

#include <string>

namespace kt::engine {

// The digest of the file's contents as 64 lower-case hexadecimal digits. A failure of the file or
// of the cryptographic service comes back as its result code.
HRESULT FileSha256(const std::string& path, std::string& hex);

}  // namespace kt::engine
