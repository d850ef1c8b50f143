#include "engine/file_sha256.h"

#include <wincrypt.h>

#include "device/unique_handle.h"

namespace kt::engine {
namespace {

struct CryptProviderTraits {
  using Value = HCRYPTPROV;
  static Value Invalid() { return 0; }
  static bool Valid(Value v) { return v != 0; }
  static void Close(Value v) { ::CryptReleaseContext(v, 0); }
};

struct CryptHashTraits {
  using Value = HCRYPTHASH;
  static Value Invalid() { return 0; }
  static bool Valid(Value v) { return v != 0; }
  static void Close(Value v) { ::CryptDestroyHash(v); }
};

HRESULT LastError() { return HRESULT_FROM_WIN32(::GetLastError()); }

}  // namespace

HRESULT FileSha256(const std::string& path, std::string& hex) {
  hex.clear();
  // The AES provider is the one that offers SHA-256; a verify-only context needs no key store.
  HCRYPTPROV rawProvider = 0;
  if (!::CryptAcquireContextA(&rawProvider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
    return LastError();
  const kt::device::UniqueResource<CryptProviderTraits> provider(rawProvider);
  HCRYPTHASH rawHash = 0;
  if (!::CryptCreateHash(provider.Get(), CALG_SHA_256, 0, 0, &rawHash)) return LastError();
  const kt::device::UniqueResource<CryptHashTraits> hash(rawHash);

  const kt::device::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return LastError();
  BYTE chunk[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr)) return LastError();
    if (got == 0) break;
    if (!::CryptHashData(hash.Get(), chunk, got, 0)) return LastError();
  }
  BYTE digest[32];
  DWORD size = sizeof digest;
  if (!::CryptGetHashParam(hash.Get(), HP_HASHVAL, digest, &size, 0)) return LastError();
  if (size != sizeof digest) return E_UNEXPECTED;
  static const char kDigits[] = "0123456789abcdef";
  for (BYTE byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return S_OK;
}

}  // namespace kt::engine
