// Receipt text forms (see ReceiptText.h).
#include "print/receipt/ReceiptText.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "config/UtilUnit.h"

namespace ooa {

namespace {

// Digits of |value| rounded to `decimals` places on the 15-digit expansion:
// the integer part and the fraction, both as digit strings.
void RoundedDigits(double value, int decimals, std::string& integer, std::string& fraction) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  // d.dddddddddddddde[+-]xx
  std::string digits;
  digits += buf[0];
  digits.append(buf + 2, 14);
  const int exponent = std::atoi(buf + 17);
  int point = exponent + 1;  // digits before the decimal point
  if (point <= 0) {
    digits.insert(0, static_cast<size_t>(1 - point), '0');
    point = 1;
  }
  const size_t keep = static_cast<size_t>(point + decimals);
  if (digits.size() > keep) {
    const bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
      size_t i = keep;
      while (i > 0) {
        --i;
        if (digits[i] == '9') {
          digits[i] = '0';
        } else {
          ++digits[i];
          break;
        }
        if (i == 0) {
          digits.insert(digits.begin(), '1');
          ++point;
        }
      }
    }
  } else {
    digits.append(keep - digits.size(), '0');
  }
  integer = digits.substr(0, static_cast<size_t>(point));
  fraction = digits.substr(static_cast<size_t>(point));
  const size_t nz = integer.find_first_not_of('0');
  integer = nz == std::string::npos ? "0" : integer.substr(nz);
}

bool AllZero(const std::string& integer, const std::string& fraction) {
  return integer == "0" && fraction.find_first_not_of('0') == std::string::npos;
}

std::string Grouped(const std::string& integer, const TReceiptLocale& locale) {
  if (locale.Grouping.empty() || locale.MoneyThousands.empty()) return integer;
  std::string out;
  size_t end = integer.size();
  size_t g = 0;
  int size = 0;
  std::vector<std::string> groups;
  while (end > 0) {
    if (g < locale.Grouping.size()) size = static_cast<unsigned char>(locale.Grouping[g++]);
    if (size <= 0 || size >= 127) {  // CHAR_MAX: no further grouping
      groups.push_back(integer.substr(0, end));
      break;
    }
    const size_t n = std::min(end, static_cast<size_t>(size));
    groups.push_back(integer.substr(end - n, n));
    end -= n;
  }
  for (size_t i = groups.size(); i > 0; --i) {
    out += groups[i - 1];
    if (i > 1) out += locale.MoneyThousands;
  }
  return out;
}

}  // namespace

std::string FixedText(double value, int decimals, const std::string& decimal) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  std::string integer, fraction;
  RoundedDigits(value, decimals, integer, fraction);
  std::string out = value < 0 && !AllZero(integer, fraction) ? "-" : "";
  out += integer;
  if (decimals > 0) out += decimal + fraction;
  return out;
}

double Money2(double value) { return std::strtod(FixedText(value, 2).c_str(), nullptr); }

double RoundHalfEven(double value) {
  const double r = std::round(value);  // halves away from zero
  if (std::fabs(value - std::trunc(value)) == 0.5 && std::fmod(r, 2.0) != 0.0) return r - std::copysign(1.0, value);
  return r;
}

std::string MoneyText(double value, int decimals, int width, const TReceiptLocale& l) {
  std::string out;
  if (!std::isfinite(value)) {
    out = FixedText(value, decimals);
  } else {
    std::string integer, fraction;
    RoundedDigits(value, decimals, integer, fraction);
    std::string number = Grouped(integer, l);
    if (decimals > 0) number += l.MoneyDecimal + fraction;
    const bool negative = value < 0 && !AllZero(integer, fraction);
    if (!negative) {
      const std::string sp = l.SpaceAfterSymbol ? " " : "";
      out = l.SymbolBefore ? l.CurrencySymbol + sp + number : number + sp + l.CurrencySymbol;
    } else {
      const std::string sp = l.NegSpace ? " " : "";
      const std::string& sym = l.CurrencySymbol;
      const std::string& sign = l.NegativeSign;
      if (l.NegSymbolBefore) {
        switch (l.NegSignPosition) {
          case 0: out = "(" + sym + sp + number + ")"; break;
          case 2: out = sym + sp + number + sign; break;
          case 4: out = sym + sign + sp + number; break;
          default: out = sign + sym + sp + number; break;  // 1 and 3
        }
      } else {
        switch (l.NegSignPosition) {
          case 0: out = "(" + number + sp + sym + ")"; break;
          case 1: out = sign + number + sp + sym; break;
          case 3: out = number + sp + sign + sym; break;
          default: out = number + sp + sym + sign; break;  // 2 and 4
        }
      }
    }
  }
  return AlignRight(out, width);
}

std::string NumberText(double value, int decimals, int width, const TReceiptLocale& locale) {
  return AlignRight(FixedText(value, decimals, locale.NumberDecimal), width);
}

std::string ShortNumberText(double value, const TReceiptLocale& locale) {
  std::string text = FloatToText(value);
  const size_t dot = text.find('.');
  if (dot != std::string::npos) text.replace(dot, 1, locale.NumberDecimal);
  return text;
}

std::string AlignRight(const std::string& text, int width) {
  if (static_cast<int>(text.size()) >= width) return text;
  return std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
}

std::string PadRight(const std::string& text, int width) {
  if (static_cast<int>(text.size()) >= width) return text;
  return text + std::string(static_cast<size_t>(width) - text.size(), ' ');
}

std::string JoinWithGap(const std::string& a, int n, const std::string& b) {
  return a + std::string(static_cast<size_t>(std::abs(n)), ' ') + b;
}

std::string ReceiptDate(TDateTime value) {
  const TCivilTime c = value.ToCivil();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", c.Day, c.Month, c.Year);
  return buf;
}

std::string ReceiptDateTime(TDateTime value) {
  // Whole seconds of the value as stored (not rounded up into the next second).
  const TCivilTime c = value.ToCivil();
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", c.Day, c.Month, c.Year, c.Hour, c.Minute,
                c.Second);
  return buf;
}

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

namespace {

// For the current receipt code page: which bytes are a character on their
// own (worked out once per code page).
std::array<bool, 256> SingleByteCharacters() {
  static std::mutex mutex;
  static std::map<std::string, std::array<bool, 256>> known;
  const std::string codePage = AnsiCodePage();
  std::lock_guard lock(mutex);
  auto it = known.find(codePage);
  if (it == known.end()) {
    std::array<bool, 256> single{};
    for (int b = 0; b < 256; ++b) single[b] = b < 0x80 || AnsiToUtf8(std::string(1, static_cast<char>(b))) != "?";
    it = known.emplace(codePage, single).first;
  }
  return it->second;
}

}  // namespace

int AnsiCharLength(const std::string& text, size_t pos) {
  const unsigned char b = static_cast<unsigned char>(text[pos]);
  if (b < 0x80 || pos + 1 >= text.size() || SingleByteCharacters()[b]) return 1;
  // A lead byte converts only together with the byte after it.
  const std::string two = AnsiToUtf8(text.substr(pos, 2));
  const unsigned char first = two.empty() ? 0 : static_cast<unsigned char>(two[0]);
  const size_t len = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
  return two != "?" && two.size() == len ? 2 : 1;
}

std::vector<std::string> CutIntoColumns(const std::string& text, int width) {
  std::vector<std::string> pieces;
  std::string current;
  for (size_t pos = 0; pos < text.size();) {
    const size_t n = static_cast<size_t>(AnsiCharLength(text, pos));
    if (current.size() + n > static_cast<size_t>(width) && !current.empty()) {
      pieces.push_back(current);
      current.clear();
    }
    current.append(text, pos, n);
    pos += n;
  }
  if (!current.empty()) pieces.push_back(current);
  return pieces;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  bool open = false;  // a line was begun (characters, or a break before it)
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      open = false;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      continue;
    }
    line += c;
    open = true;
  }
  if (open) lines.push_back(line);
  return lines;
}

std::vector<std::string> WrapWords(const std::string& line, int width) {
  const size_t w = static_cast<size_t>(width > 0 ? width : 1);
  std::vector<std::string> pieces;
  std::string current;
  size_t pos = 0;
  while (pos < line.size()) {
    // The next word and the spaces before it.
    size_t start = pos;
    while (start < line.size() && line[start] == ' ') ++start;
    size_t end = start;
    while (end < line.size() && line[end] != ' ') end += static_cast<size_t>(AnsiCharLength(line, end));
    if (end > line.size()) end = line.size();
    const std::string spaces = line.substr(pos, start - pos);
    const std::string word = line.substr(start, end - start);
    pos = end;
    if (word.empty()) {  // trailing spaces
      if (current.size() + spaces.size() <= w) current += spaces;
      break;
    }
    if (current.size() + spaces.size() + word.size() <= w) {
      current += spaces + word;
      continue;
    }
    if (!current.empty()) pieces.push_back(current);
    current.clear();
    if (word.size() <= w) {
      current = word;
      continue;
    }
    std::vector<std::string> cut = CutIntoColumns(word, width);
    current = cut.back();
    cut.pop_back();
    pieces.insert(pieces.end(), cut.begin(), cut.end());
  }
  if (!current.empty() || pieces.empty()) pieces.push_back(current);
  return pieces;
}

}  // namespace ooa
