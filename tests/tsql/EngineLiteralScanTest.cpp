// The parse cache's literal scan gives the very literal tokens (and count of
// tokens) the tokenizer gives, and refuses what the tokenizer refuses with
// the tokenizer's message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/session/DbSession.h"
#include "tsql/Lexer.h"

namespace ooa::test {
namespace {

using namespace tsql;

std::string Describe(const TToken& t) {
  return std::to_string(static_cast<int>(t.Kind)) + (t.Unicode ? "N" : "") + "[" + t.Text + "]@" +
         std::to_string(t.Pos) + "-" + std::to_string(t.End) + " line " + std::to_string(t.Line);
}

std::vector<std::string> Expected(const std::string& batch, size_t& count) {
  std::vector<TToken> tokens;
  Tokenize(batch, false, tokens);
  count = tokens.size();
  std::vector<std::string> literals;
  for (const TToken& t : tokens)
    if (IsLiteralToken(t)) literals.push_back(Describe(t));
  return literals;
}

std::vector<std::string> Scanned(const std::string& batch, TLiteralScan& scan) {
  ScanLiterals(batch, scan);
  std::vector<std::string> literals;
  for (const TToken& t : scan.Literals) literals.push_back(Describe(t));
  return literals;
}

TEST(EngineLiteralScan, FindsTheLiteralsTheTokenizerMakes) {
  const std::vector<std::string> batches = {
      "Select 1, 2.5, .5, 1e3, 1E+3, 2e, 3.e-2, 12abc From T Where A=N'x' and B='' and C=null",
      "Insert Into T(A, [B c], \"D\") Values(N'it''s', 'a''''b', '''', NULL, NuLl, nullx, xnull)",
      "Select 'one\nline two', N'x'\n, 7 -- a comment 'not text' 5\n, 8 /* nested /* 'no' */ 9 */ , 10",
      "Select @a=@@Error, @b1=n'q', A.B, #t.c, [x]]y], 'tail'",
      "if @i<>1 and @j!=2 or @k<=3 and @l>=4 and @m!<5 and @n!>6 Set @x+=7; Set @y-=-8; Set @z*=9; Set @w/=0.1",
      "Select X::Y, N, Nx, n , 'end\n\n', 'it''s\nlong', 1",
      "Select 1\r\n\t\f\v, 'é', naïve, 2",
      "",
      "--only a comment",
      "Select 'a' -- no newline after",
  };
  TLiteralScan scan;
  // Once with room made by a longer batch, once afresh.
  Scanned(batches[0] + batches[1] + batches[2], scan);
  for (const std::string& batch : batches) {
    size_t count = 0;
    const std::vector<std::string> expected = Expected(batch, count);
    EXPECT_EQ(Scanned(batch, scan), expected) << batch;
    EXPECT_EQ(scan.Tokens, count) << batch;
    TLiteralScan fresh;
    EXPECT_EQ(Scanned(batch, fresh), expected) << batch;
  }
}

TEST(EngineLiteralScan, RefusesWhatTheTokenizerRefuses) {
  const std::vector<std::string> broken = {"Select 'open", "Select N'open''", "Select [open", "Select \"open",
                                  "Select 1 /* open /* */", "Select @", "Select @@", "Select 1 ! 2", "Select $a",
                                  std::string("Select 1") + '\0' + "2", "Select 1 ? 2"};
  for (const std::string& batch : broken) {
    std::string tokenizer, scanner;
    try {
      Tokenize(batch, false);
    } catch (const TDbError& e) {
      tokenizer = e.what();
    }
    TLiteralScan scan;
    try {
      ScanLiterals(batch, scan);
    } catch (const TDbError& e) {
      scanner = e.what();
    }
    EXPECT_FALSE(tokenizer.empty()) << batch;
    EXPECT_EQ(scanner, tokenizer) << batch;
  }
}

}  // namespace
}  // namespace ooa::test
