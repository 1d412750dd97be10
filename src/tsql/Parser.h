// Parses a T-SQL batch into statements (Ast.h). Statements are separated by ';'
// or simply follow each other, as T-SQL allows. Throws TDbError("Incorrect
// syntax near ...") naming the place of the first error. Any thread.
#pragma once

#include <string>
#include <vector>

#include "tsql/Ast.h"
#include "tsql/Lexer.h"

namespace ooa::tsql {

TBatch ParseBatch(const std::string& text);

// A literal of the tree that one number or text token (or the keyword NULL)
// became, with the signs folded into it. The parse cache fills a copy of the
// tree from another batch's token at the same place.
struct TLiteralSite {
  TExpr* Node = nullptr;
  size_t Token = 0;
  int Negations = 0;
};

// ParseBatch on tokens already made; with sites, notes every literal made from
// a token.
TBatch ParseTokens(std::vector<TToken> tokens, std::vector<TLiteralSite>* sites);

// The value of a number or text token, or of the keyword NULL, as a literal:
// e is a new Literal.
void MakeLiteral(TExpr& e, const TToken& t);
// A folded minus sign.
void NegateLiteral(TExpr& e);

}  // namespace ooa::tsql
