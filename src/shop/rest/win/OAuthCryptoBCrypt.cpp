// OAuth signing's primitives on Windows: HMAC and random bytes from BCrypt
// (Cryptography API: Next Generation).
#include <windows.h>
#include <bcrypt.h>

#include <stdexcept>

#include "shop/rest/OAuthCrypto.h"

namespace ooa::oauth {
namespace {

// One HMAC algorithm provider per digest, opened on first use and kept for
// the process (a provider handle may be shared by threads).
BCRYPT_ALG_HANDLE HmacProvider(THmacDigest digest) {
  static const BCRYPT_ALG_HANDLE sha1 = [] {
    BCRYPT_ALG_HANDLE handle = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA1_ALGORITHM, nullptr,
                                                    BCRYPT_ALG_HANDLE_HMAC_FLAG)))
      handle = nullptr;
    return handle;
  }();
  static const BCRYPT_ALG_HANDLE sha256 = [] {
    BCRYPT_ALG_HANDLE handle = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr,
                                                    BCRYPT_ALG_HANDLE_HMAC_FLAG)))
      handle = nullptr;
    return handle;
  }();
  return digest == THmacDigest::Sha1 ? sha1 : sha256;
}

}  // namespace

std::string HmacDigest(THmacDigest digest, const std::string& key, const std::string& data) {
  BCRYPT_ALG_HANDLE provider = HmacProvider(digest);
  if (!provider) throw std::runtime_error("HMAC computation failed");
  // BCrypt wants a secret buffer even for an empty key.
  unsigned char none = 0;
  PUCHAR secret = key.empty() ? &none : reinterpret_cast<PUCHAR>(const_cast<char*>(key.data()));
  BCRYPT_HASH_HANDLE hash = nullptr;
  std::string out(digest == THmacDigest::Sha1 ? 20 : 32, '\0');
  bool done = BCRYPT_SUCCESS(BCryptCreateHash(provider, &hash, nullptr, 0, secret, static_cast<ULONG>(key.size()), 0));
  done = done && BCRYPT_SUCCESS(BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())),
                                               static_cast<ULONG>(data.size()), 0));
  done = done && BCRYPT_SUCCESS(BCryptFinishHash(hash, reinterpret_cast<PUCHAR>(out.data()),
                                                 static_cast<ULONG>(out.size()), 0));
  if (hash) BCryptDestroyHash(hash);
  if (!done) throw std::runtime_error("HMAC computation failed");
  return out;
}

void RandomBytes(unsigned char* bytes, std::size_t size) {
  if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
    throw std::runtime_error("No random bytes for the OAuth nonce");
}

}  // namespace ooa::oauth
