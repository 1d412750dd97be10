// Keeps the shop's API secret out of what the program shows: the activity log
// and error texts. The shop never needs to repeat the secret, but an error
// page of a proxy or a misconfigured shop may echo what it got; such text is
// masked before anyone sees it. Plain function; any thread.
#pragma once

#include <cstddef>
#include <string>

namespace ooa {

// Secrets shorter than this are not masked: such short texts occur in
// ordinary log lines (ids, amounts), and masking them would garble the log;
// a shop's consumer secret is far longer.
inline constexpr size_t kMinMaskedSecretLength = 6;

// `text` with every occurrence of `secret` replaced by "***".
std::string MaskSecret(std::string text, const std::string& secret);

}  // namespace ooa
