#include "tsql/Lexer.h"

#include "db/session/DbSession.h"

namespace ooa::tsql {

namespace {

bool IdentStartChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '#' || c >= 0x80;
}

// Bit 1: may start an identifier; bit 2: may continue one.
struct TIdentChars {
  unsigned char Bits[256] = {};
  TIdentChars() {
    for (int c = 0; c < 256; ++c) {
      auto u = static_cast<unsigned char>(c);
      bool start = IdentStartChar(u);
      bool part = start || (u >= '0' && u <= '9') || u == '$' || u == '@';
      Bits[c] = static_cast<unsigned char>((start ? 1 : 0) | (part ? 2 : 0));
    }
  }
};
const TIdentChars kIdentChars;

bool IdentStart(unsigned char c) { return (kIdentChars.Bits[c] & 1) != 0; }
bool IdentPart(unsigned char c) { return (kIdentChars.Bits[c] & 2) != 0; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::vector<TToken> Tokenize(const std::string& s, bool texts) {
  std::vector<TToken> out;
  Tokenize(s, texts, out);
  return out;
}

void Tokenize(const std::string& s, bool texts, std::vector<TToken>& out) {
  out.clear();
  out.reserve(s.size() / 4 + 4);
  size_t i = 0, n = s.size();
  int line = 1;
  auto push = [&](TTok k, size_t pos, size_t end, bool uni = false) -> std::string& {
    TToken& t = out.emplace_back();
    t.Kind = k;
    t.Unicode = uni;
    t.Pos = static_cast<int>(pos);
    t.End = static_cast<int>(end);
    t.Line = line;
    return t.Text;
  };
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '\n') {
      ++line;
      ++i;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      while (i < n && s[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      size_t start = i;
      bool closed = false;
      i = SkipBlockComment(s.data(), i, n, line, closed);
      if (!closed) throw TDbError("Missing end comment mark '*/' (comment starting at offset " + std::to_string(start) + ").");
      continue;
    }
    size_t start = i;
    if ((c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'') {
      ++i;
      c = '\'';
    }
    if (c == '\'') {
      bool uni = i != start;
      ++i;
      std::string text;
      bool closed = false;
      while (i < n) {
        // Up to the next quote in one piece.
        size_t q = s.find('\'', i);
        size_t end = q == std::string::npos ? n : q;
        for (size_t k = i; k < end; ++k)
          if (s[k] == '\n') ++line;
        text.append(s, i, end - i);
        i = end;
        if (i == n) break;
        if (i + 1 < n && s[i + 1] == '\'') {
          text += '\'';
          i += 2;
          continue;
        }
        ++i;
        closed = true;
        break;
      }
      if (!closed)
        throw TDbError("Unclosed quotation mark after the character string '" + text.substr(0, 40) + "'.");
      push(TTok::String, start, i, uni) = std::move(text);
      continue;
    }
    if (c == '[' || c == '"') {
      char close = c == '[' ? ']' : '"';
      ++i;
      std::string text;
      bool closed = false;
      while (i < n) {
        if (s[i] == close) {
          if (i + 1 < n && s[i + 1] == close) {
            text += close;
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        text += s[i++];
      }
      if (!closed) throw TDbError("Unclosed quotation mark after the identifier '" + text.substr(0, 40) + "'.");
      std::string& t = push(TTok::QuotedIdent, start, i);
      if (texts) t = std::move(text);
      continue;
    }
    if (c == '@') {
      ++i;
      if (i < n && s[i] == '@') ++i;
      while (i < n && IdentPart(static_cast<unsigned char>(s[i]))) ++i;
      if (i - start < 2 || (s[start + 1] == '@' && i - start < 3))
        throw TDbError("Incorrect syntax near '@'.");
      std::string& t = push(TTok::Variable, start, i);
      if (texts) t.assign(s, start, i - start);
      continue;
    }
    if (IdentStart(c)) {
      while (i < n && IdentPart(static_cast<unsigned char>(s[i]))) ++i;
      std::string& t = push(TTok::Ident, start, i);
      if (!texts) {
        // NULL is the one keyword the parse cache treats as a literal.
        if (i - start == 4 && (s[start] | 32) == 'n' && (s[start + 1] | 32) == 'u' && (s[start + 2] | 32) == 'l' &&
            (s[start + 3] | 32) == 'l')
          t.assign(s, start, 4);
        continue;
      }
      t.assign(s, start, i - start);
      std::string& lower = out.back().Lower;
      lower = out.back().Text;
      for (char& ch : lower)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
      continue;
    }
    if (Digit(static_cast<char>(c)) || (c == '.' && i + 1 < n && Digit(s[i + 1]))) {
      TTok kind;
      i = ScanNumber(s.data(), i, n, kind);
      push(kind, start, i).assign(s, start, i - start);
      continue;
    }
    // Operators, longest first.
    static const char* const kOps2[] = {"<>", "!=", "<=", ">=", "!<", "!>", "+=", "-=", "*=", "/=", "::"};
    bool matched = false;
    if (i + 1 < n) {
      for (const char* op : kOps2) {
        if (s[i] == op[0] && s[i + 1] == op[1]) {
          std::string& t = push(TTok::Op, start, i + 2);
          if (texts) t.assign(op, 2);
          i += 2;
          matched = true;
          break;
        }
      }
    }
    if (matched) continue;
    static const std::string kOps1 = "(),;.+-*/%=<>:&|^~";
    if (kOps1.find(static_cast<char>(c)) != std::string::npos) {
      std::string& t = push(TTok::Op, start, i + 1);
      if (texts) t.assign(1, static_cast<char>(c));
      ++i;
      continue;
    }
    throw TDbError("Incorrect syntax near '" + std::string(1, static_cast<char>(c)) + "' (line " +
                   std::to_string(line) + ").");
  }
  TToken end;
  end.Kind = TTok::End;
  end.Pos = static_cast<int>(n);
  end.End = static_cast<int>(n);
  end.Line = line;
  out.push_back(end);
}

}  // namespace ooa::tsql
