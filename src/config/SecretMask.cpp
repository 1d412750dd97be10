#include "config/SecretMask.h"

namespace ooa {

std::string MaskSecret(std::string text, const std::string& secret) {
  if (secret.size() < kMinMaskedSecretLength) return text;
  for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
    text.replace(at, secret.size(), "***");
  return text;
}

}  // namespace ooa
