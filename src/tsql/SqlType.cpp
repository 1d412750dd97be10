#include "tsql/SqlType.h"

#include <cmath>

namespace ooa::tsql {

namespace {
// What (max) is kept as in the declared type.
constexpr int kMaxLength = 2147483647;
}  // namespace

bool MakeSqlType(const std::string& rawName, int a1, int a2, bool hasArg1, bool isMax, TSqlType& out) {
  std::string n = AsciiLower(rawName);
  TSqlType t;
  if (n == "int" || n == "integer" || n == "bigint" || n == "smallint" || n == "tinyint") {
    t.Class = TTypeClass::Int;
    t.Name = n == "integer" ? "int" : n;
  } else if (n == "bit") {
    t.Class = TTypeClass::Bit;
    t.Name = n;
  } else if (n == "float" || n == "real") {
    t.Class = TTypeClass::Float;
    t.Name = n;
  } else if (n == "money" || n == "smallmoney") {
    t.Class = TTypeClass::Decimal;
    t.Scale = 4;
    t.Name = n;
  } else if (n == "decimal" || n == "numeric" || n == "dec") {
    t.Class = TTypeClass::Decimal;
    int p = hasArg1 ? a1 : 18;
    t.Scale = hasArg1 ? a2 : 0;
    if (t.Scale < 0 || t.Scale > p) return false;
    t.Name = (n == "dec" ? std::string("decimal") : n) + "(" + std::to_string(p) + "," + std::to_string(t.Scale) + ")";
  } else if (n == "datetime" || n == "smalldatetime" || n == "date" || n == "datetime2") {
    t.Class = TTypeClass::DateTime;
    t.Name = n;
  } else if (n == "char" || n == "varchar" || n == "nchar" || n == "nvarchar") {
    t.Class = TTypeClass::Text;
    if (isMax) {
      t.Length = -1;
      t.Name = n + "(" + std::to_string(kMaxLength) + ")";  // SQLite takes no "(max)"
    } else if (hasArg1 && a1 >= kMaxLength) {
      t.Length = -1;
      t.Name = n + "(" + std::to_string(kMaxLength) + ")";
    } else {
      t.Length = hasArg1 ? a1 : (n == "varchar" || n == "nvarchar" ? 30 : 1);
      if (t.Length <= 0) return false;
      t.Name = n + "(" + std::to_string(t.Length) + ")";
    }
  } else if (n == "text" || n == "ntext") {
    t.Class = TTypeClass::Text;
    t.Length = -1;
    t.Name = n;
  } else {
    return false;
  }
  out = t;
  return true;
}

TSqlType TypeFromDeclared(const std::string& declared) {
  std::string d = AsciiLower(declared);
  if (d == "integer") {  // the identity column
    TSqlType t = TSqlType::Of(TTypeClass::Int);
    t.Name = "int";
    return t;
  }
  std::string name = d;
  int a1 = 0, a2 = 0;
  bool has = false, isMax = false;
  auto p = d.find('(');
  if (p != std::string::npos) {
    name = d.substr(0, p);
    std::string args = d.substr(p + 1);
    if (args.rfind("max", 0) == 0) {
      isMax = true;
    } else {
      has = true;
      a1 = std::atoi(args.c_str());
      auto c = args.find(',');
      if (c != std::string::npos) a2 = std::atoi(args.c_str() + c + 1);
    }
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  TSqlType t;
  if (MakeSqlType(name, a1, a2, has, isMax, t)) return t;
  return TSqlType();
}

TDbValue::TKind ResultKind(const TSqlType& t) {
  switch (t.Class) {
    case TTypeClass::Int:
    case TTypeClass::Bit: return TDbValue::TKind::Integer;
    case TTypeClass::Float:
    case TTypeClass::Decimal: return TDbValue::TKind::Float;
    case TTypeClass::DateTime: return TDbValue::TKind::DateTime;
    case TTypeClass::Text: return TDbValue::TKind::Text;
    default: return TDbValue::TKind::Null;  // decided by the value
  }
}

namespace {

[[noreturn]] void ConversionFailed(const TValue& v, const char* typeName) {
  throw TRuntimeError{245, "Conversion failed when converting the value '" + ValueText(v) + "' to data type " +
                               typeName + "."};
}

double RoundHalfAway(double v, int scale) {
  double f = std::pow(10.0, scale);
  return std::round(v * f) / f;
}

}  // namespace

TValue ConvertTo(const TValue& v, const TSqlType& t, TConvertMode mode, const char* target) {
  if (v.IsNull()) return v;
  switch (t.Class) {
    case TTypeClass::Unknown: return v;
    case TTypeClass::Int: {
      if (v.Kind == TValue::TKind::Int) return v;
      if (v.Kind == TValue::TKind::Float) {
        if (!(std::fabs(v.Float) < 9.2e18)) throw TRuntimeError{8115, "Arithmetic overflow error converting to int."};
        return TValue::MakeInt(static_cast<int64_t>(std::trunc(v.Float)));
      }
      TValue n;
      if (!ParseNumber(v.Text, n) || n.Kind != TValue::TKind::Int) ConversionFailed(v, "int");
      return n;
    }
    case TTypeClass::Bit: {
      if (v.Kind == TValue::TKind::Int) return TValue::MakeInt(v.Int != 0);
      if (v.Kind == TValue::TKind::Float) return TValue::MakeInt(v.Float != 0);
      if (CompareText(v.Text, "true") == 0) return TValue::MakeInt(1);
      if (CompareText(v.Text, "false") == 0) return TValue::MakeInt(0);
      TValue n;
      if (!ParseNumber(v.Text, n)) ConversionFailed(v, "bit");
      return TValue::MakeInt(n.AsDouble() != 0);
    }
    case TTypeClass::Float:
    case TTypeClass::Decimal: {
      double d;
      if (v.IsNumber()) {
        d = v.AsDouble();
      } else {
        TValue n;
        if (!ParseNumber(v.Text, n)) ConversionFailed(v, t.Class == TTypeClass::Float ? "float" : "numeric");
        d = n.AsDouble();
      }
      if (t.Class == TTypeClass::Decimal) d = RoundHalfAway(d, t.Scale);
      return TValue::MakeFloat(d);
    }
    case TTypeClass::DateTime: {
      if (v.IsNumber()) return TValue::MakeText(DateTimeFromDays1900(v.AsDouble()));
      std::string c;
      if (!ParseDateTimeText(v.Text, c))
        throw TRuntimeError{241, "Conversion failed when converting date and/or time from character string '" +
                                     v.Text + "'."};
      if (t.Name == "date") c = c.substr(0, 10) + " 00:00:00.000";
      return TValue::MakeText(std::move(c));
    }
    case TTypeClass::Text: {
      std::string s = v.Kind == TValue::TKind::Text ? v.Text : ValueText(v);
      if (t.Length > 0) {
        std::string_view sv(s);
        if (CharCount(sv) > t.Length) {
          if (mode == TConvertMode::Store && CharCount(TrimRight(sv)) > t.Length)
            throw TRuntimeError{8152, std::string("String or binary data would be truncated") +
                                          (target ? std::string(" in column '") + target + "'" : std::string()) +
                                          "."};
          s.resize(ByteOffsetOfChar(sv, t.Length));
        }
      }
      return TValue::MakeText(std::move(s));
    }
  }
  return v;
}

int64_t EncodeType(const TSqlType& t) {
  int64_t len = t.Length < 0 ? 0 : t.Length;
  return static_cast<int64_t>(t.Class) * 100000000LL + static_cast<int64_t>(t.Scale) * 1000000LL + len +
         (t.Name == "date" ? 50000000000LL : 0);
}

TSqlType DecodeType(int64_t code) {
  TSqlType t;
  bool isDate = code >= 50000000000LL;
  if (isDate) code -= 50000000000LL;
  t.Class = static_cast<TTypeClass>(code / 100000000LL);
  t.Scale = static_cast<int>(code / 1000000LL % 100);
  t.Length = static_cast<int>(code % 1000000LL);
  if (isDate) t.Name = "date";
  return t;
}

}  // namespace ooa::tsql
