// TDS reply tokens (see TdsTokens.h).
#include "tds/TdsTokens.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ooa::tds {

namespace {

enum : uint8_t {
  kTokenColMetadata = 0x81,
  kTokenError = 0xAA,
  kTokenInfo = 0xAB,
  kTokenLoginAck = 0xAD,
  kTokenRow = 0xD1,
  kTokenEnvChange = 0xE3,
  kTokenDone = 0xFD,
};

enum : uint8_t {
  kIntN = 0x26,
  kBitN = 0x68,
  kNumericN = 0x6C,
  kFloatN = 0x6D,
  kMoneyN = 0x6E,
  kDateTimeN = 0x6F,
  kBigVarChar = 0xA7,
  kNVarChar = 0xE7,
};

// SQL_Latin1_General_CP1_CI_AS: LCID 0x0409, case-insensitive, sort order 52.
const char kCollation[5] = {0x09, 0x04, static_cast<char>(0xD0), 0x00, 0x34};

enum class TWire { Int4, Int8, Bit, Float, Money, Numeric, DateTime, NText, Text };

struct TColumn {
  TWire Wire = TWire::NText;
  int Precision = 18, Scale = 0;
  int DeclaredLength = 0;  // characters; -1 for max
  bool Long = false;       // texts go as (max), in pieces
  uint16_t MaxBytes = 0;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The T-SQL type name's wire type; false when the name says nothing.
bool FromDeclared(const std::string& declared, TColumn& col) {
  const std::string d = Lower(declared);
  const std::string name = d.substr(0, d.find('('));
  int a1 = 0, a2 = 0;
  const bool args = d.find('(') != std::string::npos &&
                    std::sscanf(d.c_str() + d.find('(') + 1, "%d,%d", &a1, &a2) >= 1;
  if (name == "int" || name == "smallint" || name == "tinyint") col.Wire = TWire::Int4;
  else if (name == "bigint") col.Wire = TWire::Int8;
  else if (name == "bit") col.Wire = TWire::Bit;
  else if (name == "float" || name == "real") col.Wire = TWire::Float;
  else if (name == "money" || name == "smallmoney") col.Wire = TWire::Money;
  else if (name == "decimal" || name == "numeric") {
    col.Wire = TWire::Numeric;
    col.Precision = args ? std::max(1, std::min(a1, 38)) : 18;
    col.Scale = args ? std::max(0, std::min(a2, col.Precision)) : 0;
  } else if (name == "datetime" || name == "smalldatetime" || name == "date" || name == "datetime2") {
    col.Wire = TWire::DateTime;
  } else if (name == "nvarchar" || name == "nchar" || name == "ntext") {
    col.Wire = TWire::NText;
    col.DeclaredLength = name == "ntext" || !args || a1 > 4000 ? -1 : a1;
  } else if (name == "varchar" || name == "char" || name == "text") {
    col.Wire = TWire::Text;
    col.DeclaredLength = name == "text" || !args || a1 > 8000 ? -1 : a1;
  } else {
    return false;
  }
  return true;
}

bool ParseInt(const std::string& t, long long& v) {
  if (t.empty()) return false;
  char* end = nullptr;
  errno = 0;
  v = std::strtoll(t.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

bool ParseDouble(const std::string& t, double& v) {
  if (t.empty()) return false;
  char* end = nullptr;
  v = std::strtod(t.c_str(), &end);
  return *end == '\0' && std::isfinite(v);
}

struct TStamp {
  int32_t Days = 0;
  uint32_t Ticks = 0;  // 1/300 s since midnight
};

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

bool ParseStamp(const std::string& t, TStamp& out) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  const int n = std::sscanf(t.c_str(), "%4d-%2d-%2d %2d:%2d:%2d.%3d", &y, &mo, &d, &h, &mi, &s, &ms);
  if (n < 3 || mo < 1 || mo > 12 || d < 1 || d > 31 || y < 1753 || y > 9999) return false;
  int64_t days = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) - DaysFromCivil(1900, 1, 1);
  int64_t ticks = (static_cast<int64_t>(h) * 3600 + mi * 60 + s) * 300 + (static_cast<int64_t>(ms) * 300 + 500) / 1000;
  if (ticks >= 300LL * 86400) {
    ticks -= 300LL * 86400;
    ++days;
  }
  out.Days = static_cast<int32_t>(days);
  out.Ticks = static_cast<uint32_t>(ticks);
  return true;
}

int NumericBytes(int precision) { return precision <= 9 ? 5 : precision <= 19 ? 9 : precision <= 28 ? 13 : 17; }

// Whether a value can go as the column's wire type.
bool Fits(const TDbValue& v, TColumn& col) {
  long long i = 0;
  double f = 0;
  TStamp st;
  switch (col.Wire) {
    case TWire::Int4:
      if (!ParseInt(v.Text, i)) return false;
      if (i < INT32_MIN || i > INT32_MAX) col.Wire = TWire::Int8;
      return true;
    case TWire::Int8: return ParseInt(v.Text, i);
    case TWire::Bit: return ParseDouble(v.Text, f);
    case TWire::Float: return ParseDouble(v.Text, f);
    case TWire::Money: return ParseDouble(v.Text, f) && std::fabs(f) < 9.2e14;
    case TWire::Numeric:
      return ParseDouble(v.Text, f) && std::fabs(f) * std::pow(10.0, col.Scale) < 1.8e19;
    case TWire::DateTime: return ParseStamp(v.Text, st);
    case TWire::NText:
    case TWire::Text: return true;
  }
  return true;
}

// Chooses the wire type of column c from its declared type and its values.
TColumn ChooseColumn(const TRecordSet& set, size_t c) {
  TColumn col;
  const std::string declared = c < set.ColumnTypes.size() ? set.ColumnTypes[c] : std::string();
  if (!FromDeclared(declared, col)) {
    // Unknown: from the kinds of the values.
    bool any = false, allInt = true, allNumber = true, allDate = true;
    for (const auto& row : set.Rows) {
      const TDbValue& v = row[c];
      if (v.IsNull()) continue;
      any = true;
      allInt &= v.Kind == TDbValue::TKind::Integer;
      allNumber &= v.Kind == TDbValue::TKind::Integer || v.Kind == TDbValue::TKind::Float;
      allDate &= v.Kind == TDbValue::TKind::DateTime;
    }
    col.Wire = !any ? TWire::NText : allInt ? TWire::Int4 : allNumber ? TWire::Float : allDate ? TWire::DateTime
                                                                                          : TWire::NText;
    col.DeclaredLength = 4000;
  }
  bool fits = true;
  for (const auto& row : set.Rows)
    if (!row[c].IsNull() && !Fits(row[c], col)) fits = false;
  if (!fits) {
    // The engine keeps what SQLite was given; what does not suit the column
    // goes as text rather than being changed.
    col = TColumn{};
    col.DeclaredLength = 4000;
  }
  if (col.Wire == TWire::NText || col.Wire == TWire::Text) {
    size_t longest = 0;
    for (const auto& row : set.Rows) {
      if (row[c].IsNull()) continue;
      const size_t bytes =
          col.Wire == TWire::NText ? Utf16FromUtf8(row[c].Text).size() : Cp1252FromUtf8(row[c].Text).size();
      longest = std::max(longest, bytes);
    }
    const size_t unit = col.Wire == TWire::NText ? 2 : 1;
    const size_t declaredBytes = col.DeclaredLength < 0 ? 0 : static_cast<size_t>(col.DeclaredLength) * unit;
    const size_t need = std::max({declaredBytes, longest, unit});
    col.Long = col.DeclaredLength < 0 || need > 8000;
    col.MaxBytes = col.Long ? 0xFFFF : static_cast<uint16_t>(need);
  }
  return col;
}

void TypeInfo(TBytes& out, const TColumn& col) {
  switch (col.Wire) {
    case TWire::Int4: out.U8(kIntN), out.U8(4); break;
    case TWire::Int8: out.U8(kIntN), out.U8(8); break;
    case TWire::Bit: out.U8(kBitN), out.U8(1); break;
    case TWire::Float: out.U8(kFloatN), out.U8(8); break;
    case TWire::Money: out.U8(kMoneyN), out.U8(8); break;
    case TWire::Numeric:
      out.U8(kNumericN);
      out.U8(static_cast<uint8_t>(NumericBytes(col.Precision)));
      out.U8(static_cast<uint8_t>(col.Precision));
      out.U8(static_cast<uint8_t>(col.Scale));
      break;
    case TWire::DateTime: out.U8(kDateTimeN), out.U8(8); break;
    case TWire::NText:
    case TWire::Text:
      out.U8(col.Wire == TWire::NText ? kNVarChar : kBigVarChar);
      out.U16(col.MaxBytes);
      out.Raw(std::string(kCollation, 5));
      break;
  }
}

void TextValue(TBytes& out, const TColumn& col, const TDbValue& v) {
  if (col.Long) {
    if (v.IsNull()) {
      out.U64(~0ULL);
      return;
    }
    const std::string bytes = col.Wire == TWire::NText ? Utf16FromUtf8(v.Text) : Cp1252FromUtf8(v.Text);
    out.U64(bytes.size());
    if (!bytes.empty()) {
      out.U32(static_cast<uint32_t>(bytes.size()));
      out.Raw(bytes);
    }
    out.U32(0);
    return;
  }
  if (v.IsNull()) {
    out.U16(0xFFFF);
    return;
  }
  const std::string bytes = col.Wire == TWire::NText ? Utf16FromUtf8(v.Text) : Cp1252FromUtf8(v.Text);
  out.U16(static_cast<uint16_t>(bytes.size()));
  out.Raw(bytes);
}

void Value(TBytes& out, const TColumn& col, const TDbValue& v) {
  if (col.Wire == TWire::NText || col.Wire == TWire::Text) {
    TextValue(out, col, v);
    return;
  }
  if (v.IsNull()) {
    out.U8(0);
    return;
  }
  long long i = 0;
  double f = 0;
  switch (col.Wire) {
    case TWire::Int4:
      ParseInt(v.Text, i);
      out.U8(4), out.U32(static_cast<uint32_t>(static_cast<int32_t>(i)));
      break;
    case TWire::Int8:
      ParseInt(v.Text, i);
      out.U8(8), out.U64(static_cast<uint64_t>(i));
      break;
    case TWire::Bit:
      ParseDouble(v.Text, f);
      out.U8(1), out.U8(f != 0 ? 1 : 0);
      break;
    case TWire::Float: {
      ParseDouble(v.Text, f);
      uint64_t bits = 0;
      std::memcpy(&bits, &f, 8);
      out.U8(8), out.U64(bits);
      break;
    }
    case TWire::Money: {
      ParseDouble(v.Text, f);
      const auto scaled = static_cast<uint64_t>(std::llround(f * 10000.0));
      out.U8(8);
      out.U32(static_cast<uint32_t>(scaled >> 32));
      out.U32(static_cast<uint32_t>(scaled));
      break;
    }
    case TWire::Numeric: {
      ParseDouble(v.Text, f);
      const int size = NumericBytes(col.Precision);
      const auto magnitude = static_cast<uint64_t>(std::llroundl(std::fabs(static_cast<long double>(f)) *
                                                                 std::pow(10.0L, col.Scale)));
      out.U8(static_cast<uint8_t>(size));
      out.U8(f < 0 && magnitude != 0 ? 0 : 1);
      out.U64(magnitude);
      for (int k = 8; k < size - 1; ++k) out.U8(0);
      if (size == 5) out.Data.resize(out.Data.size() - 4);  // precision 1..9 keeps 4 bytes
      break;
    }
    case TWire::DateTime: {
      TStamp st;
      ParseStamp(v.Text, st);
      out.U8(8), out.U32(static_cast<uint32_t>(st.Days)), out.U32(st.Ticks);
      break;
    }
    default: break;
  }
}

}  // namespace

void Done(TBytes& out, uint16_t status, uint16_t command, uint64_t rows) {
  out.U8(kTokenDone);
  out.U16(status);
  out.U16(command);
  out.U64(rows);
}

void Message(TBytes& out, bool isError, int32_t number, uint8_t state, uint8_t severity, const std::string& text,
             const std::string& server) {
  out.U8(isError ? kTokenError : kTokenInfo);
  const size_t at = out.Size();
  out.U16(0);
  out.U32(static_cast<uint32_t>(number));
  out.U8(state);
  out.U8(severity);
  out.UsVarChar(text);
  out.BVarChar(server);
  out.BVarChar("");  // procedure
  out.U32(1);        // line
  out.PatchU16(at, static_cast<uint16_t>(out.Size() - at - 2));
}

void EnvChange(TBytes& out, uint8_t type, const std::string& newValue, const std::string& oldValue) {
  out.U8(kTokenEnvChange);
  const size_t at = out.Size();
  out.U16(0);
  out.U8(type);
  out.BVarChar(newValue);
  out.BVarChar(oldValue);
  out.PatchU16(at, static_cast<uint16_t>(out.Size() - at - 2));
}

void CollationChange(TBytes& out) {
  out.U8(kTokenEnvChange);
  out.U16(1 + 1 + 5 + 1);
  out.U8(7);
  out.U8(5);
  out.Raw(std::string(kCollation, 5));
  out.U8(0);
}

void LoginAck(TBytes& out, const std::string& programName) {
  out.U8(kTokenLoginAck);
  const size_t at = out.Size();
  out.U16(0);
  out.U8(1);  // interface: T-SQL
  out.U8(0x74), out.U8(0x00), out.U8(0x00), out.U8(0x04);  // TDS 7.4
  out.BVarChar(programName);
  out.U8(16), out.U8(0), out.U8(0x10), out.U8(0x00);  // program version 16.0.4096
  out.PatchU16(at, static_cast<uint16_t>(out.Size() - at - 2));
}

void ResultSet(TBytes& out, const TRecordSet& set) {
  std::vector<TColumn> cols;
  for (size_t c = 0; c < set.Columns.size(); ++c) cols.push_back(ChooseColumn(set, c));
  out.U8(kTokenColMetadata);
  out.U16(static_cast<uint16_t>(cols.size()));
  for (size_t c = 0; c < cols.size(); ++c) {
    out.U32(0);       // user type
    out.U16(0x0009);  // nullable, updatability unknown
    TypeInfo(out, cols[c]);
    out.BVarChar(set.Columns[c]);
  }
  for (const auto& row : set.Rows) {
    out.U8(kTokenRow);
    for (size_t c = 0; c < cols.size(); ++c) Value(out, cols[c], c < row.size() ? row[c] : TDbValue{});
  }
}

}  // namespace ooa::tds
