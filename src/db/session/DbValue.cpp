// TDbValue, TRecordSet and TQueryResult: the result rows every session backend
// returns (see DbSession.h).
#include <strings.h>

#include <cmath>
#include <cstdlib>

#include "db/session/DbSession.h"
#include "db/session/SqlText.h"

namespace ooa {

std::string TDbValue::AsString() const { return Kind == TKind::Null ? std::string() : Text; }

double TDbValue::AsFloat() const {
  switch (Kind) {
    case TKind::Null: return 0.0;
    case TKind::DateTime: return AsDateTime().Value;
    default: {
      TSqlNumber v;
      if (ReadSqlNumber(Text, v)) return v.AsDouble();
      if (Text.empty()) return 0.0;
      throw TDbError("'" + Text + "' is not a valid floating point value");
    }
  }
}

int64_t TDbValue::AsInteger() const {
  switch (Kind) {
    case TKind::Null: return 0;
    case TKind::DateTime: return static_cast<int64_t>(AsDateTime().Value);
    default: {
      TSqlNumber v;
      if (ReadSqlNumber(Text, v)) {
        if (v.IsInt) return v.Int;
        return static_cast<int64_t>(std::llround(v.Float));
      }
      if (Text.empty()) return 0;
      if (strcasecmp(Text.c_str(), "true") == 0) return 1;
      if (strcasecmp(Text.c_str(), "false") == 0) return 0;
      throw TDbError("'" + Text + "' is not a valid integer value");
    }
  }
}

bool TDbValue::AsBoolean() const {
  if (Kind == TKind::Null) return false;
  if (strcasecmp(Text.c_str(), "true") == 0) return true;
  TSqlNumber v;
  if (ReadSqlNumber(Text, v)) return v.AsDouble() != 0;
  return false;
}

TDateTime TDbValue::AsDateTime() const {
  if (Kind == TKind::Null) return TDateTime(0.0);
  if (Kind == TKind::Integer || Kind == TKind::Float) {
    TSqlNumber v;
    if (ReadSqlNumber(Text, v)) return TDateTime(v.AsDouble());
  }
  std::string c;
  if (!ReadSqlDateTime(Text, c)) throw TDbError("'" + Text + "' is not a valid date and time");
  auto num = [&](size_t pos, size_t len) { return std::atoi(c.substr(pos, len).c_str()); };
  return TDateTime::FromCivil(num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2), num(20, 3));
}

int TRecordSet::ColumnIndex(const std::string& name) const {
  // Names of another length never match: a wide row ("Select *" of Product)
  // is searched in a few compares.
  for (size_t i = 0; i < Columns.size(); ++i)
    if (Columns[i].size() == name.size() && strcasecmp(Columns[i].c_str(), name.c_str()) == 0)
      return static_cast<int>(i);
  return -1;
}

const TDbValue& TRecordSet::Field(int row, const std::string& name) const {
  int c = ColumnIndex(name);
  if (c < 0) throw TDbError("Field '" + name + "' not found");
  if (row < 0 || row >= RecordCount()) throw TDbError("No current record for field '" + name + "'");
  return Rows[static_cast<size_t>(row)][static_cast<size_t>(c)];
}

const TRecordSet& TQueryResult::First() const {
  static const TRecordSet kEmpty;
  return Sets.empty() ? kEmpty : Sets.front();
}

TRecordSet& TQueryResult::First() {
  if (Sets.empty()) Sets.emplace_back();
  return Sets.front();
}

}  // namespace ooa
