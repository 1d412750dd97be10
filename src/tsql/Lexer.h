// The T-SQL tokenizer of the embedded engine: turns a batch into tokens
// (identifiers, [bracketed] names, @variables, numbers, 'text' and N'text',
// operators), skipping blanks and -- or /* */ comments. Any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ooa::tsql {

enum class TTok : uint8_t { End, Ident, QuotedIdent, Variable, Integer, Decimal, Float, String, Op };

struct TToken {
  TTok Kind = TTok::End;
  std::string Text;  // identifier / variable (with @) / number digits / string content / operator
  std::string Lower;  // a plain identifier in lower case (keywords are compared on it)
  bool Unicode = false;  // N'...'
  int Pos = 0;           // byte offset in the batch
  int End = 0;           // byte offset after the token
  int Line = 1;
};

// The end of the number whose first digit (or '.') is s[i], and its kind:
// digits, then a fraction (Decimal), then an exponent with digits (Float).
// Shared by the tokenizer and the literal scan, which must agree.
inline size_t ScanNumber(const char* s, size_t i, size_t n, TTok& kind) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  kind = TTok::Integer;
  while (i < n && digit(s[i])) ++i;
  if (i < n && s[i] == '.') {
    kind = TTok::Decimal;
    ++i;
    while (i < n && digit(s[i])) ++i;
  }
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < n && digit(s[j])) {
      kind = TTok::Float;
      i = j;
      while (i < n && digit(s[i])) ++i;
    }
  }
  return i;
}

// Skips the /* */ comment (nested ones too) that starts at s[i], counting its
// line breaks into line. Returns the offset after it, or n when it is not
// closed. Shared by the tokenizer and the literal scan, which must agree.
inline size_t SkipBlockComment(const char* s, size_t i, size_t n, int& line, bool& closed) {
  int depth = 0;
  while (i < n) {
    if (s[i] == '/' && i + 1 < n && s[i + 1] == '*') {
      ++depth;
      i += 2;
    } else if (s[i] == '*' && i + 1 < n && s[i + 1] == '/') {
      --depth;
      i += 2;
      if (depth == 0) break;
    } else {
      if (s[i] == '\n') ++line;
      ++i;
    }
  }
  closed = depth == 0;
  return i;
}

// Throws TDbError for an unclosed quote or comment or a stray character.
// Without texts only the number and text literals and the keyword NULL get
// their Text (and no identifier its Lower): enough to tell a batch's shape by
// the spans of the other tokens.
std::vector<TToken> Tokenize(const std::string& batch, bool texts = true);
// The same into out, whose room is used again.
void Tokenize(const std::string& batch, bool texts, std::vector<TToken>& out);

// What the parse cache needs to tell a batch's shape, found without making
// a token of every name and operator: the literal tokens Tokenize(batch,
// false) gives (numbers, texts and the keyword NULL, in order, with their
// texts, spans and lines) and how many tokens it gives in all. Throws what
// Tokenize throws.
struct TLiteralScan {
  std::vector<TToken> Literals;
  size_t Tokens = 0;  // the End token included
};
void ScanLiterals(const std::string& batch, TLiteralScan& out);
// Whether Tokenize(batch, false) makes a literal of the token.
bool IsLiteralToken(const TToken& t);

}  // namespace ooa::tsql
