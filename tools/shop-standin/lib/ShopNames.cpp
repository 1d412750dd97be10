// The shop's readings of sent names (see ShopNames.h).
#include "ShopNames.h"

#include <cctype>

namespace ooa::standin {
namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// Whether text[at] ("&") starts an entity: &name; &#123; or &#x1f;.
bool StartsEntity(const std::string& text, size_t at) {
  size_t i = at + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    size_t digits = 0;
    while (i < text.size() && (hex ? IsHex(text[i]) : std::isdigit(static_cast<unsigned char>(text[i])))) {
      ++i;
      ++digits;
    }
    return digits > 0 && i < text.size() && text[i] == ';';
  }
  size_t letters = 0;
  while (i < text.size() && std::isalnum(static_cast<unsigned char>(text[i]))) {
    ++i;
    ++letters;
  }
  return letters > 0 && i < text.size() && text[i] == ';';
}

std::string EscapeAmpersands(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && !StartsEntity(text, i)) {
      out += "&amp;";
    } else {
      out += text[i];
    }
  }
  return out;
}

// Tags out; a "<" that opens none (not followed by a letter, "/", "!" or "?")
// is kept as "&lt;".
std::string StripTags(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '<') {
      out += text[i];
      continue;
    }
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (!(std::isalpha(static_cast<unsigned char>(next)) || next == '/' || next == '!' || next == '?')) {
      out += "&lt;";
      continue;
    }
    const size_t end = text.find('>', i);
    if (end == std::string::npos) break;  // an unclosed tag takes the rest
    i = end;
  }
  return out;
}

}  // namespace

std::string ShopTermName(const std::string& sent) {
  std::string text = StripTags(sent);
  // Percent-encoded octets, until none is left.
  for (bool found = true; found;) {
    found = false;
    for (size_t i = 0; i + 2 < text.size(); ++i) {
      if (text[i] == '%' && IsHex(text[i + 1]) && IsHex(text[i + 2])) {
        text.erase(i, 3);
        found = true;
        break;
      }
    }
  }
  std::string collapsed;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (blank) {
      if (!collapsed.empty() && collapsed.back() != ' ') collapsed += ' ';
    } else {
      collapsed += c;
    }
  }
  while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
  std::string out;
  for (size_t i = 0; i < collapsed.size(); ++i) {
    const char c = collapsed[i];
    if (c == '&' && !StartsEntity(collapsed, i)) {
      out += "&amp;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out += c;
    }
  }
  return out;
}

std::string ShopPostTitle(const std::string& sent) { return EscapeAmpersands(sent); }

}  // namespace ooa::standin
