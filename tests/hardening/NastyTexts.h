// Texts a shop customer or a POS user can type that break naive handling:
// quotes, statement separators, comment markers, batch words, non-Latin
// scripts, control characters. Each is at most 27 characters, so it fits the
// narrowest POS text column it is tried in (Telephone, 30). Shared by the
// order import and catalogue upload tests of this folder.
#pragma once

#include <string>
#include <vector>

namespace ooa::test {

struct TNastyText {
  const char* Label;
  std::string Text;
};

inline std::vector<TNastyText> NastyTexts() {
  using namespace std::string_literals;
  return {
      {"single quote", "O'Neil"},
      {"closing quote and statement", "'; Delete From Customer; --"},
      {"unicode literal break-out", "x'); Drop Table Product;/*"},
      {"double quotes", "\"Big\" \"Al\""},
      {"comment markers", "*/ -- /* # ;"},
      {"literal prefix", "N'' + N'x' + ''"},
      {"batch words", "GoTo BRK; Commit Tran; @Id"},
      {"backslashes and formats", "C:\\tmp\\ %s %n %d {0}"},
      {"markup", "<b>A&amp;B</b>"},
      {"CJK", "\xE6\x9D\x8E\xE5\xB0\x8F\xE9\xBE\x8D \xE6\x9D\xB1\xE4\xBA\xAC\xE9\x83\xBD"},
      {"Arabic", "\xD9\x85\xD8\xAD\xD9\x85\xD8\xAF \xD8\xA7\xD9\x84\xD8\xB9\xD9\x84\xD9\x8A"},
      {"emoji", "\xF0\x9F\x8D\xBA \xF0\x9F\x8E\x89 Bar"},
      {"bidi and zero width", "\xE2\x80\xAE" "abc\xE2\x80\x8B" "def\xE2\x80\xA8"},
      {"tab", "a\tb\tc"},
      {"CR LF", "line 1\r\nline 2\n"},
      {"escape and bell", "\x1B[31mred\x07"},
      {"NUL inside", "nul\0byte"s},
      {"blanks around", "  padded  "},
  };
}

}  // namespace ooa::test
