// Tab-separated printing of result sets (see ResultText.h).
#include "ResultText.h"

namespace ooa {

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string ResultText(const TQueryResult& result) {
  std::string out;
  for (size_t s = 0; s < result.Sets.size(); ++s) {
    const TRecordSet& set = result.Sets[s];
    if (s > 0) out += "\n";
    for (size_t c = 0; c < set.Columns.size(); ++c) {
      if (c > 0) out += "\t";
      out += Escaped(set.Columns[c]);
    }
    out += "\n";
    for (const auto& row : set.Rows) {
      for (size_t c = 0; c < row.size(); ++c) {
        if (c > 0) out += "\t";
        out += row[c].IsNull() ? std::string("NULL") : Escaped(row[c].Text);
      }
      out += "\n";
    }
  }
  return out;
}

}  // namespace ooa
