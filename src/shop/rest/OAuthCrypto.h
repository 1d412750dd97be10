// The two primitives OAuth signing takes from the platform: a keyed digest
// (HMAC) and random bytes for the nonce. OpenSSL and the kernel's random
// source on Linux (posix/), BCrypt on Windows (win/). Any thread.
#pragma once

#include <cstddef>
#include <string>

namespace ooa::oauth {

enum class THmacDigest { Sha1, Sha256 };

// The raw HMAC of data under key (20 bytes for SHA-1, 32 for SHA-256).
// Throws std::runtime_error("HMAC computation failed") when the platform
// refuses.
std::string HmacDigest(THmacDigest digest, const std::string& key, const std::string& data);

// Fills bytes with size bytes from the system's random source. Throws
// std::runtime_error("No random bytes for the OAuth nonce") when it gives none.
void RandomBytes(unsigned char* bytes, std::size_t size);

}  // namespace ooa::oauth
