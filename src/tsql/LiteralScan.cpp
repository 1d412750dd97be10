// ScanLiterals: the literal tokens of a batch, read by the rules Tokenize
// follows but without making a token of each name, keyword and operator (a
// batch of an invoice holds thousands of them and a few hundred literals).
// Where the batch breaks a rule (an unclosed quote or comment, a stray
// character, a lone @), Tokenize reads it again and throws its error. Any
// thread; the scan it fills belongs to the caller (the session's parse cache).
#include <algorithm>
#include <cstring>

#include "tsql/Lexer.h"

namespace ooa::tsql {

namespace {

enum TClass : unsigned char {
  kOther,    // not allowed on its own
  kBlank,    // space, tab, CR, FF, VT
  kNewLine,
  kIdent,    // may start an identifier
  kDigit,
  kQuote,    // '
  kBracket,  // [ or "
  kAt,
  kOp,       // an operator that may start a two-character one, a comment or a number (.5)
  kSingle,   // an operator that is one character whatever follows: ( ) , ; = % & | ^ ~
  kBang,     // ! starts a two-character operator only
};

// Per byte: its class, and whether it may continue an identifier (bit 4).
struct TClasses {
  unsigned char Bits[256] = {};
  TClasses() {
    for (int c = 0; c < 256; ++c) {
      auto u = static_cast<unsigned char>(c);
      unsigned char k = kOther;
      if (u == ' ' || u == '\t' || u == '\r' || u == '\f' || u == '\v') k = kBlank;
      else if (u == '\n') k = kNewLine;
      else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == '#' || u >= 0x80) k = kIdent;
      else if (u >= '0' && u <= '9') k = kDigit;
      else if (u == '\'') k = kQuote;
      else if (u == '[' || u == '"') k = kBracket;
      else if (u == '@') k = kAt;
      else if (std::strchr("(),;=%&|^~", u) && u != 0) k = kSingle;
      else if (std::strchr(".+-*/<>:", u) && u != 0) k = kOp;
      else if (u == '!') k = kBang;
      const bool part = k == kIdent || k == kDigit || u == '$' || u == '@';
      Bits[c] = static_cast<unsigned char>(k | (part ? 16 : 0));
    }
  }
};
const TClasses kClasses;

inline unsigned char ClassOf(char c) { return kClasses.Bits[static_cast<unsigned char>(c)] & 15; }
inline bool IdentPart(char c) { return (kClasses.Bits[static_cast<unsigned char>(c)] & 16) != 0; }
inline bool Digit(char c) { return c >= '0' && c <= '9'; }

bool TwoCharOp(char a, char b) {
  switch (a) {
    case '<': return b == '>' || b == '=';
    case '!': return b == '=' || b == '<' || b == '>';
    case '>': return b == '=';
    case '+': case '-': case '*': case '/': return b == '=';
    case ':': return b == ':';
    default: return false;
  }
}

// The literals and the count of a batch Tokenize has read.
void FromTokens(const std::vector<TToken>& tokens, TLiteralScan& out) {
  out.Literals.clear();
  for (const TToken& t : tokens)
    if (IsLiteralToken(t)) out.Literals.push_back(t);
  out.Tokens = tokens.size();
}

}  // namespace

bool IsLiteralToken(const TToken& t) {
  if (t.Kind == TTok::Integer || t.Kind == TTok::Decimal || t.Kind == TTok::Float || t.Kind == TTok::String)
    return true;
  return t.Kind == TTok::Ident && t.Text.size() == 4 && (t.Text[0] | 32) == 'n' && (t.Text[1] | 32) == 'u' &&
         (t.Text[2] | 32) == 'l' && (t.Text[3] | 32) == 'l';
}

void ScanLiterals(const std::string& batch, TLiteralScan& out) {
  // s[n] is the string's terminating NUL, which no run of name characters or
  // digits takes in: the runs below need no check of the end.
  const char* s = batch.data();
  const size_t n = batch.size();
  size_t i = 0, count = 0, used = 0;
  int line = 1;
  auto literal = [&](TTok kind, size_t pos, size_t end, bool unicode) -> std::string& {
    if (used == out.Literals.size()) out.Literals.emplace_back();
    TToken& t = out.Literals[used++];
    t.Kind = kind;
    t.Unicode = unicode;
    t.Pos = static_cast<int>(pos);
    t.End = static_cast<int>(end);
    t.Line = line;
    return t.Text;
  };
  // A rule broken: Tokenize says how (or, should it not, gives the tokens).
  auto broken = [&]() {
    std::vector<TToken> tokens;
    Tokenize(batch, false, tokens);
    FromTokens(tokens, out);
  };
  while (i < n) {
    const char c = s[i];
    switch (ClassOf(c)) {
      case kNewLine:
        ++line;
        ++i;
        continue;
      case kBlank:
        ++i;
        continue;
      case kIdent: {
        if ((c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'') break;  // N'text'
        const size_t start = i;
        while (IdentPart(s[i])) ++i;
        ++count;
        if (i - start == 4 && (s[start] | 32) == 'n' && (s[start + 1] | 32) == 'u' && (s[start + 2] | 32) == 'l' &&
            (s[start + 3] | 32) == 'l')
          literal(TTok::Ident, start, i, false).assign(s + start, 4);
        continue;
      }
      case kAt: {
        const size_t start = i++;
        if (s[i] == '@') ++i;
        while (IdentPart(s[i])) ++i;
        if (i - start < 2 || (s[start + 1] == '@' && i - start < 3)) return broken();
        ++count;
        continue;
      }
      case kDigit:
        break;
      case kQuote:
        break;
      case kBracket: {
        const char close = c == '[' ? ']' : '"';
        ++i;
        for (;;) {
          const void* q = i < n ? std::memchr(s + i, close, n - i) : nullptr;
          if (!q) return broken();
          i = static_cast<size_t>(static_cast<const char*>(q) - s) + 1;
          if (i < n && s[i] == close) {
            ++i;
            continue;
          }
          break;
        }
        ++count;
        continue;
      }
      case kSingle:
        ++i;
        ++count;
        continue;
      case kOp:
        if (c == '-' && i + 1 < n && s[i + 1] == '-') {
          const void* nl = std::memchr(s + i, '\n', n - i);
          i = nl ? static_cast<size_t>(static_cast<const char*>(nl) - s) : n;
          continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
          bool closed = false;
          i = SkipBlockComment(s, i, n, line, closed);
          if (!closed) return broken();
          continue;
        }
        if (c == '.' && i + 1 < n && Digit(s[i + 1])) break;  // .5
        i += i + 1 < n && TwoCharOp(c, s[i + 1]) ? 2 : 1;
        ++count;
        continue;
      case kBang:
        if (i + 1 < n && TwoCharOp(c, s[i + 1])) {
          i += 2;
          ++count;
          continue;
        }
        return broken();
      default:
        return broken();
    }
    // A literal: a number, 'text' or N'text'.
    const size_t start = i;
    ++count;
    if (ClassOf(s[i]) == kDigit || s[i] == '.') {
      TTok kind;
      i = ScanNumber(s, i, n, kind);
      literal(kind, start, i, false).assign(s + start, i - start);
      continue;
    }
    const bool unicode = s[i] != '\'';
    i += unicode ? 2 : 1;
    // The text up to the closing quote, a doubled quote being one quote.
    size_t from = i;
    std::string* text = nullptr;
    int lines = 0;
    for (;;) {
      const void* q = i < n ? std::memchr(s + i, '\'', n - i) : nullptr;
      if (!q) return broken();
      const size_t end = static_cast<size_t>(static_cast<const char*>(q) - s);
      lines += static_cast<int>(std::count(s + i, s + end, '\n'));
      if (end + 1 < n && s[end + 1] == '\'') {
        // A doubled quote: the text is made piece by piece.
        if (!text) {
          text = &literal(TTok::String, start, start, unicode);
          text->clear();
        }
        text->append(s + from, end + 1 - from);
        from = i = end + 2;
        continue;
      }
      line += lines;
      if (!text) {
        literal(TTok::String, start, end + 1, unicode).assign(s + from, end - from);
      } else {
        text->append(s + from, end - from);
        TToken& t = out.Literals[used - 1];
        t.End = static_cast<int>(end + 1);
        t.Line = line;
      }
      i = end + 1;
      break;
    }
  }
  out.Literals.resize(used);
  out.Tokens = count + 1;
}

}  // namespace ooa::tsql
