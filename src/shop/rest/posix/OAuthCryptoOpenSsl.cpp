// OAuth signing's primitives on Linux: HMAC from OpenSSL, random bytes from
// the kernel.
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/params.h>
#include <sys/random.h>

#include <cerrno>
#include <stdexcept>

#include "shop/rest/OAuthCrypto.h"

namespace ooa::oauth {
namespace {

// A context keyed for one digest and key, kept per thread: every request of a
// channel is signed with the same key, and fetching the HMAC implementation and
// keying it anew costs more than the digest of a request. Each signature works
// on a copy of the keyed context.
class TKeyedHmac {
 public:
  ~TKeyedHmac() { EVP_MAC_CTX_free(Keyed); }

  // The keyed context for md and key, or nullptr when OpenSSL refuses one.
  EVP_MAC_CTX* For(const EVP_MD* md, const std::string& key) {
    if (Keyed && md == Md && key == Key) return Keyed;
    EVP_MAC_CTX_free(Keyed);
    Keyed = nullptr;
    static EVP_MAC* const mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (!mac) return nullptr;
    EVP_MAC_CTX* ctx = EVP_MAC_CTX_new(mac);
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, const_cast<char*>(EVP_MD_get0_name(md)), 0),
        OSSL_PARAM_construct_end()};
    if (!ctx || !EVP_MAC_init(ctx, reinterpret_cast<const unsigned char*>(key.data()), key.size(), params)) {
      EVP_MAC_CTX_free(ctx);
      return nullptr;
    }
    Keyed = ctx;
    Md = md;
    Key = key;
    return Keyed;
  }

 private:
  EVP_MAC_CTX* Keyed = nullptr;
  const EVP_MD* Md = nullptr;
  std::string Key;
};

}  // namespace

std::string HmacDigest(THmacDigest digest, const std::string& key, const std::string& data) {
  const EVP_MD* md = digest == THmacDigest::Sha1 ? EVP_sha1() : EVP_sha256();
  unsigned char out[EVP_MAX_MD_SIZE];
  thread_local TKeyedHmac keyed;
  if (EVP_MAC_CTX* base = keyed.For(md, key)) {
    EVP_MAC_CTX* ctx = EVP_MAC_CTX_dup(base);
    size_t length = 0;
    const bool done = ctx && EVP_MAC_update(ctx, reinterpret_cast<const unsigned char*>(data.data()), data.size()) &&
                      EVP_MAC_final(ctx, out, &length, sizeof out);
    EVP_MAC_CTX_free(ctx);
    if (done) return std::string(reinterpret_cast<const char*>(out), length);
  }
  unsigned int length = 0;
  if (!HMAC(md, key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(data.data()),
            data.size(), out, &length)) {
    throw std::runtime_error("HMAC computation failed");
  }
  return std::string(reinterpret_cast<const char*>(out), length);
}

void RandomBytes(unsigned char* bytes, std::size_t size) {
  // Straight from the kernel's random source: OpenSSL's generator keeps
  // small allocations of its own now and then, scattered over the heap of a
  // long catalogue pass, so that the heap could not shrink after it.
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = getrandom(bytes + got, size - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("No random bytes for the OAuth nonce");
    got += static_cast<std::size_t>(n);
  }
}

}  // namespace ooa::oauth
