#include "tsql/Functions.h"

#include <cmath>
#include <cstring>

#include "tsql/Procedures.h"

namespace ooa::tsql {

namespace {

bool AnyNull(const std::vector<TValue>& a) {
  for (const auto& v : a)
    if (v.IsNull()) return true;
  return false;
}

std::string Str(const TValue& v) { return v.Kind == TValue::TKind::Text ? v.Text : ValueText(v); }

int64_t IntArg(const TValue& v) {
  return ConvertTo(v, TSqlType::Of(TTypeClass::Int), TConvertMode::Cast).Int;
}

double FloatArg(const TValue& v) {
  return ConvertTo(v, TSqlType::Of(TTypeClass::Float), TConvertMode::Cast).Float;
}

std::string DateArg(const TValue& v) {
  return ConvertTo(v, TSqlType::Of(TTypeClass::DateTime), TConvertMode::Cast).Text;
}

// Case-insensitive search (ASCII), byte offset or npos.
size_t FindNoCase(std::string_view hay, std::string_view needle, size_t from) {
  if (needle.empty()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
    size_t k = 0;
    for (; k < needle.size(); ++k) {
      unsigned char a = static_cast<unsigned char>(hay[i + k]), b = static_cast<unsigned char>(needle[k]);
      if (a >= 'A' && a <= 'Z') a += 32;
      if (b >= 'A' && b <= 'Z') b += 32;
      if (a != b) break;
    }
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

TValue FnSubstring(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  std::string s = Str(a[0]);
  int64_t start = IntArg(a[1]), len = IntArg(a[2]);
  if (len < 0) throw TRuntimeError{537, "Invalid length parameter passed to the substring function."};
  int64_t end = start + len;  // exclusive, 1-based
  if (start < 1) start = 1;
  if (end <= start) return TValue::MakeText("");
  size_t b = ByteOffsetOfChar(s, start - 1), e = ByteOffsetOfChar(s, end - 1);
  return TValue::MakeText(s.substr(b, e - b));
}

TValue FnLen(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  return TValue::MakeInt(CharCount(TrimRight(Str(a[0]))));
}

TValue FnReplicate(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  int64_t n = IntArg(a[1]);
  if (n < 0) return TValue();
  std::string s = Str(a[0]), r;
  if (static_cast<double>(s.size()) * static_cast<double>(n) > 64e6)
    throw TRuntimeError{1121, "Replicate would produce a text that is too long."};
  r.reserve(s.size() * static_cast<size_t>(n));
  for (int64_t i = 0; i < n; ++i) r += s;
  return TValue::MakeText(std::move(r));
}

TValue FnIsNull(std::vector<TValue>& a) { return a[0].IsNull() ? a[1] : a[0]; }

TValue FnCoalesce(std::vector<TValue>& a) {
  for (auto& v : a)
    if (!v.IsNull()) return v;
  return TValue();
}

int CompareValues(const TValue& x, const TValue& y) {
  if (x.IsNumber() && y.IsNumber()) {
    if (x.Kind == TValue::TKind::Int && y.Kind == TValue::TKind::Int) return x.Int < y.Int ? -1 : x.Int > y.Int;
    double a = x.AsDouble(), b = y.AsDouble();
    return a < b ? -1 : a > b;
  }
  if (x.IsNumber() || y.IsNumber()) {
    double a = FloatArg(x), b = FloatArg(y);
    return a < b ? -1 : a > b;
  }
  return CompareText(x.Text, y.Text);
}

TValue FnNullIf(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  if (!a[1].IsNull() && CompareValues(a[0], a[1]) == 0) return TValue();
  return a[0];
}

TValue FnCharIndex(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  std::string needle = Str(a[0]), hay = Str(a[1]);
  int64_t start = a.size() > 2 ? IntArg(a[2]) : 1;
  if (start < 1) start = 1;
  size_t from = ByteOffsetOfChar(hay, start - 1);
  size_t at = FindNoCase(hay, needle, from);
  if (at == std::string::npos) return TValue::MakeInt(0);
  return TValue::MakeInt(CharCount(std::string_view(hay).substr(0, at)) + 1);
}

TValue FnUpper(std::vector<TValue>& a) { return a[0].IsNull() ? TValue() : TValue::MakeText(AsciiUpper(Str(a[0]))); }
TValue FnLower(std::vector<TValue>& a) { return a[0].IsNull() ? TValue() : TValue::MakeText(AsciiLower(Str(a[0]))); }

TValue FnLTrim(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  std::string s = Str(a[0]);
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return TValue::MakeText(s.substr(i));
}

TValue FnRTrim(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  return TValue::MakeText(std::string(TrimRight(Str(a[0]))));
}

TValue FnTrim(std::vector<TValue>& a) {
  TValue l = FnLTrim(a);
  std::vector<TValue> b{l};
  return FnRTrim(b);
}

TValue FnLeft(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  std::string s = Str(a[0]);
  int64_t n = IntArg(a[1]);
  if (n < 0) throw TRuntimeError{536, "Invalid length parameter passed to the left function."};
  return TValue::MakeText(s.substr(0, ByteOffsetOfChar(s, n)));
}

TValue FnRight(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  std::string s = Str(a[0]);
  int64_t n = IntArg(a[1]);
  if (n < 0) throw TRuntimeError{536, "Invalid length parameter passed to the right function."};
  int64_t count = CharCount(s);
  if (n >= count) return TValue::MakeText(s);
  return TValue::MakeText(s.substr(ByteOffsetOfChar(s, count - n)));
}

TValue FnReplace(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  std::string s = Str(a[0]), from = Str(a[1]), to = Str(a[2]), r;
  if (from.empty()) return TValue::MakeText(s);
  size_t pos = 0;
  while (true) {
    size_t at = FindNoCase(s, from, pos);
    if (at == std::string::npos) break;
    r.append(s, pos, at - pos);
    r += to;
    pos = at + from.size();
  }
  r.append(s, pos, std::string::npos);
  return TValue::MakeText(std::move(r));
}

TValue FnReverse(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  std::string s = Str(a[0]), r;
  size_t end = s.size();
  while (end > 0) {
    size_t b = end - 1;
    while (b > 0 && (static_cast<unsigned char>(s[b]) & 0xC0) == 0x80) --b;
    r.append(s, b, end - b);
    end = b;
  }
  return TValue::MakeText(std::move(r));
}

TValue FnSpace(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  int64_t n = IntArg(a[0]);
  if (n < 0) return TValue();
  return TValue::MakeText(std::string(static_cast<size_t>(std::min<int64_t>(n, 8000)), ' '));
}

TValue FnConcat(std::vector<TValue>& a) {
  std::string r;
  for (auto& v : a)
    if (!v.IsNull()) r += Str(v);
  return TValue::MakeText(std::move(r));
}

TValue NumberLike(const TValue& in, double v) {
  if (in.Kind == TValue::TKind::Int && std::fabs(v) < 9.2e18) return TValue::MakeInt(static_cast<int64_t>(v));
  return TValue::MakeFloat(v);
}

TValue FnAbs(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  if (a[0].Kind == TValue::TKind::Int) return TValue::MakeInt(a[0].Int < 0 ? -a[0].Int : a[0].Int);
  return TValue::MakeFloat(std::fabs(FloatArg(a[0])));
}

TValue FnRound(std::vector<TValue>& a) {
  if (a[0].IsNull() || a[1].IsNull()) return TValue();
  int64_t digits = IntArg(a[1]);
  bool truncate = a.size() > 2 && !a[2].IsNull() && IntArg(a[2]) != 0;
  double v = FloatArg(a[0]);
  double f = std::pow(10.0, static_cast<double>(digits));
  double r = truncate ? std::trunc(v * f) / f : std::round(v * f) / f;
  return NumberLike(a[0], r);
}

TValue FnFloor(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  return NumberLike(a[0], std::floor(FloatArg(a[0])));
}

TValue FnCeiling(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  return NumberLike(a[0], std::ceil(FloatArg(a[0])));
}

TValue FnPower(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  return NumberLike(a[0], std::pow(FloatArg(a[0]), FloatArg(a[1])));
}

TValue FnSqrt(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  double v = FloatArg(a[0]);
  if (v < 0) throw TRuntimeError{3623, "An invalid floating point operation occurred."};
  return TValue::MakeFloat(std::sqrt(v));
}

TValue FnSign(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  double v = FloatArg(a[0]);
  return NumberLike(a[0], v > 0 ? 1 : v < 0 ? -1 : 0);
}

TValue FnGetDate(std::vector<TValue>&) { return TValue::MakeText(NowCanonical()); }

int DatePartIndex(const std::string& part) {
  static const char* const kParts[][3] = {{"year", "yy", "yyyy"},      {"month", "mm", "m"},
                                          {"day", "dd", "d"},          {"hour", "hh", "hh"},
                                          {"minute", "mi", "n"},       {"second", "ss", "s"},
                                          {"millisecond", "ms", "ms"}, {"dayofyear", "dy", "y"},
                                          {"weekday", "dw", "w"}};
  std::string p = AsciiLower(part);
  for (int i = 0; i < 9; ++i)
    for (const char* n : kParts[i])
      if (p == n) return i;
  throw TRuntimeError{155, "'" + part + "' is not a recognized date part."};
}

void Civil(const std::string& c, int f[7]) {
  f[0] = std::atoi(c.substr(0, 4).c_str());
  f[1] = std::atoi(c.substr(5, 2).c_str());
  f[2] = std::atoi(c.substr(8, 2).c_str());
  f[3] = std::atoi(c.substr(11, 2).c_str());
  f[4] = std::atoi(c.substr(14, 2).c_str());
  f[5] = std::atoi(c.substr(17, 2).c_str());
  f[6] = std::atoi(c.substr(20, 3).c_str());
}

TValue DatePartOf(int part, const std::string& canonical) {
  int f[7];
  Civil(canonical, f);
  if (part <= 6) return TValue::MakeInt(f[part]);
  double days = DaysSince1900(canonical);
  int64_t day = static_cast<int64_t>(std::floor(days));
  if (part == 8) return TValue::MakeInt(((day + 1) % 7 + 7) % 7 + 1);  // 1900-01-01 was a Monday; Sunday = 1
  std::string jan1 = CanonicalDateTime(f[0], 1, 1, 0, 0, 0, 0);
  return TValue::MakeInt(day - static_cast<int64_t>(DaysSince1900(jan1)) + 1);
}

TValue FnYear(std::vector<TValue>& a) { return a[0].IsNull() ? TValue() : DatePartOf(0, DateArg(a[0])); }
TValue FnMonth(std::vector<TValue>& a) { return a[0].IsNull() ? TValue() : DatePartOf(1, DateArg(a[0])); }
TValue FnDay(std::vector<TValue>& a) { return a[0].IsNull() ? TValue() : DatePartOf(2, DateArg(a[0])); }

TValue FnDatePart(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  return DatePartOf(DatePartIndex(Str(a[0])), DateArg(a[1]));
}

TValue FnDateAdd(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  int part = DatePartIndex(Str(a[0]));
  int64_t n = IntArg(a[1]);
  std::string d = DateArg(a[2]);
  if (part <= 1) {
    int f[7];
    Civil(d, f);
    int64_t months = static_cast<int64_t>(f[0]) * 12 + (f[1] - 1) + (part == 0 ? n * 12 : n);
    int y = static_cast<int>(months / 12), m = static_cast<int>(months % 12) + 1;
    static const int dim[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int max = dim[m - 1] + ((m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) ? 1 : 0);
    if (y < 1 || y > 9999) throw TRuntimeError{517, "Adding a value to a 'datetime' column caused an overflow."};
    return TValue::MakeText(CanonicalDateTime(y, m, std::min(f[2], max), f[3], f[4], f[5], f[6]));
  }
  static const double kScale[] = {0, 0, 1, 1.0 / 24, 1.0 / 1440, 1.0 / 86400, 1.0 / 86400000, 1, 1};
  return TValue::MakeText(DateTimeFromDays1900(DaysSince1900(d) + static_cast<double>(n) * kScale[part]));
}

TValue FnDateDiff(std::vector<TValue>& a) {
  if (AnyNull(a)) return TValue();
  int part = DatePartIndex(Str(a[0]));
  std::string x = DateArg(a[1]), y = DateArg(a[2]);
  int f[7], g[7];
  Civil(x, f);
  Civil(y, g);
  if (part == 0) return TValue::MakeInt(g[0] - f[0]);
  if (part == 1) return TValue::MakeInt((g[0] - f[0]) * 12 + (g[1] - f[1]));
  double dx = DaysSince1900(x), dy = DaysSince1900(y);
  auto boundaries = [&](double unitsPerDay) {
    return TValue::MakeInt(static_cast<int64_t>(std::floor(dy * unitsPerDay + 1e-9)) -
                           static_cast<int64_t>(std::floor(dx * unitsPerDay + 1e-9)));
  };
  switch (part) {
    case 3: return boundaries(24);
    case 4: return boundaries(1440);
    case 5: return boundaries(86400);
    case 6: return TValue::MakeInt(std::llround((dy - dx) * 86400000.0));
    default: return boundaries(1);
  }
}

TValue FnAscii(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  std::string s = Str(a[0]);
  if (s.empty()) return TValue();
  return TValue::MakeInt(static_cast<unsigned char>(s[0]));
}

TValue FnChar(std::vector<TValue>& a) {
  if (a[0].IsNull()) return TValue();
  int64_t c = IntArg(a[0]);
  if (c < 0 || c > 0x10FFFF) return TValue();
  std::string r;
  if (c < 0x80) {
    r += static_cast<char>(c);
  } else if (c < 0x800) {
    r += static_cast<char>(0xC0 | (c >> 6));
    r += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    r += static_cast<char>(0xE0 | (c >> 12));
    r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    r += static_cast<char>(0xF0 | (c >> 18));
    r += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (c & 0x3F));
  }
  return TValue::MakeText(std::move(r));
}

const TFunction kFunctions[] = {
    {"substring", 3, 3, false, "t_substring", FnSubstring},
    {"len", 1, 1, false, "t_len", FnLen},
    {"replicate", 2, 2, false, "t_replicate", FnReplicate},
    {"isnull", 2, 2, false, "coalesce", FnIsNull},
    {"coalesce", 2, 99, false, "coalesce", FnCoalesce},
    {"nullif", 2, 2, false, "t_nullif", FnNullIf},
    {"charindex", 2, 3, false, "t_charindex", FnCharIndex},
    {"upper", 1, 1, false, "t_upper", FnUpper},
    {"lower", 1, 1, false, "t_lower", FnLower},
    {"ltrim", 1, 1, false, "t_ltrim", FnLTrim},
    {"rtrim", 1, 1, false, "t_rtrim", FnRTrim},
    {"trim", 1, 1, false, "t_trim", FnTrim},
    {"left", 2, 2, false, "t_left", FnLeft},
    {"right", 2, 2, false, "t_right", FnRight},
    {"replace", 3, 3, false, "t_replace", FnReplace},
    {"reverse", 1, 1, false, "t_reverse", FnReverse},
    {"space", 1, 1, false, "t_space", FnSpace},
    {"concat", 2, 99, false, "t_concat", FnConcat},
    {"abs", 1, 1, false, "t_abs", FnAbs},
    {"round", 2, 3, false, "t_round", FnRound},
    {"floor", 1, 1, false, "t_floor", FnFloor},
    {"ceiling", 1, 1, false, "t_ceiling", FnCeiling},
    {"power", 2, 2, false, "t_power", FnPower},
    {"sqrt", 1, 1, false, "t_sqrt", FnSqrt},
    {"sign", 1, 1, false, "t_sign", FnSign},
    {"getdate", 0, 0, false, "t_getdate", FnGetDate},
    {"sysdatetime", 0, 0, false, "t_getdate", FnGetDate},
    {"year", 1, 1, false, "t_year", FnYear},
    {"month", 1, 1, false, "t_month", FnMonth},
    {"day", 1, 1, false, "t_day", FnDay},
    {"datepart", 2, 2, false, "t_datepart", FnDatePart},
    {"dateadd", 3, 3, false, "t_dateadd", FnDateAdd},
    {"datediff", 3, 3, false, "t_datediff", FnDateDiff},
    {"ascii", 1, 1, false, "t_ascii", FnAscii},
    {"unicode", 1, 1, false, "t_ascii", FnAscii},
    {"char", 1, 1, false, "t_char", FnChar},
    {"applock_mode", 3, 3, false, "t_applock_mode", AppLockModeFunction},
    {"nchar", 1, 1, false, "t_char", FnChar},
    {"sum", 1, 1, true, "sum", nullptr},
    {"max", 1, 1, true, "max", nullptr},
    {"min", 1, 1, true, "min", nullptr},
    {"count", 0, 1, true, "count", nullptr},
    {"avg", 1, 1, true, "avg", nullptr},
};

thread_local int tLastFunctionError = 0;

TValue FromSqlite(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return TValue::MakeInt(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return TValue::MakeFloat(sqlite3_value_double(v));
    case SQLITE_NULL: return TValue();
    default: {
      const unsigned char* t = sqlite3_value_text(v);
      return TValue::MakeText(std::string(reinterpret_cast<const char*>(t), sqlite3_value_bytes(v)));
    }
  }
}

void ToSqlite(sqlite3_context* ctx, const TValue& r) {
  switch (r.Kind) {
    case TValue::TKind::Null: sqlite3_result_null(ctx); break;
    case TValue::TKind::Int: sqlite3_result_int64(ctx, r.Int); break;
    case TValue::TKind::Float: sqlite3_result_double(ctx, r.Float); break;
    case TValue::TKind::Text:
      sqlite3_result_text(ctx, r.Text.data(), static_cast<int>(r.Text.size()), SQLITE_TRANSIENT);
      break;
  }
}

void Fail(sqlite3_context* ctx, const TRuntimeError& e) {
  tLastFunctionError = e.Number;
  sqlite3_result_error(ctx, e.Message.c_str(), -1);
}

void ScalarTrampoline(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  auto* f = static_cast<const TFunction*>(sqlite3_user_data(ctx));
  std::vector<TValue> args;
  args.reserve(static_cast<size_t>(argc));
  for (int i = 0; i < argc; ++i) args.push_back(FromSqlite(argv[i]));
  try {
    ToSqlite(ctx, f->Impl(args));
  } catch (const TRuntimeError& e) {
    Fail(ctx, e);
  }
}

// t_conv(value, type code, mode, target name): assignment and Cast conversions.
void ConvTrampoline(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  TValue v = FromSqlite(argv[0]);
  TSqlType t = DecodeType(sqlite3_value_int64(argv[1]));
  auto mode = static_cast<TConvertMode>(sqlite3_value_int(argv[2]));
  const char* target = argc > 3 ? reinterpret_cast<const char*>(sqlite3_value_text(argv[3])) : nullptr;
  try {
    ToSqlite(ctx, ConvertTo(v, t, mode, target));
  } catch (const TRuntimeError& e) {
    Fail(ctx, e);
  }
}

void AddTrampoline(sqlite3_context* ctx, int, sqlite3_value** argv) {
  try {
    ToSqlite(ctx, AddValues(FromSqlite(argv[0]), FromSqlite(argv[1])));
  } catch (const TRuntimeError& e) {
    Fail(ctx, e);
  }
}

// The literal beginning of a Like pattern, for an index range.
std::string LikePrefix(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_NULL) return std::string();
  std::string p(reinterpret_cast<const char*>(sqlite3_value_text(v)));
  size_t n = p.find_first_of("%_[");
  return n == std::string::npos ? p : p.substr(0, n);
}

void LikeLoTrampoline(sqlite3_context* ctx, int, sqlite3_value** argv) {
  std::string lo = LikePrefix(argv[0]);
  sqlite3_result_text(ctx, lo.data(), static_cast<int>(lo.size()), SQLITE_TRANSIENT);
}

void LikeHiTrampoline(sqlite3_context* ctx, int, sqlite3_value** argv) {
  std::string hi = LikePrefix(argv[0]) + "\xF4\x90";
  sqlite3_result_text(ctx, hi.data(), static_cast<int>(hi.size()), SQLITE_TRANSIENT);
}

// like(pattern, text): SQLite's LIKE operator with the T-SQL matching rules.
void LikeTrampoline(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const char* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  int pn = sqlite3_value_bytes(argv[0]);
  const char* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
  int tn = sqlite3_value_bytes(argv[1]);
  sqlite3_result_int(ctx, LikeMatch(std::string_view(t, static_cast<size_t>(tn)),
                                    std::string_view(p, static_cast<size_t>(pn))));
}

int CollationCompare(void*, int la, const void* a, int lb, const void* b) {
  return CompareText(std::string_view(static_cast<const char*>(a), static_cast<size_t>(la)),
                     std::string_view(static_cast<const char*>(b), static_cast<size_t>(lb)));
}

}  // namespace

TValue AddValues(const TValue& a, const TValue& b) {
  if (a.IsNull() || b.IsNull()) return TValue();
  if (a.Kind == TValue::TKind::Text || b.Kind == TValue::TKind::Text) return TValue::MakeText(Str(a) + Str(b));
  if (a.Kind == TValue::TKind::Int && b.Kind == TValue::TKind::Int) {
    int64_t r;
    if (__builtin_add_overflow(a.Int, b.Int, &r)) throw TRuntimeError{8115, "Arithmetic overflow error."};
    return TValue::MakeInt(r);
  }
  return TValue::MakeFloat(a.AsDouble() + b.AsDouble());
}

bool LikeMatch(std::string_view s, std::string_view p) {
  // Iterative matcher with backtracking on '%'; '_' one character; [set] and [^set].
  s = TrimRight(s);
  size_t si = 0, pi = 0, starP = std::string_view::npos, starS = 0;
  auto charLen = [](std::string_view t, size_t i) {
    unsigned char c = static_cast<unsigned char>(t[i]);
    return c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  };
  auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
  while (si < s.size()) {
    if (pi < p.size() && p[pi] == '%') {
      starP = pi++;
      starS = si;
      continue;
    }
    if (pi < p.size()) {
      size_t clen = charLen(s, si);
      if (p[pi] == '_') {
        si += clen;
        pi += 1;
        while (pi < p.size() && (static_cast<unsigned char>(p[pi]) & 0xC0) == 0x80) ++pi;
        continue;
      }
      if (p[pi] == '[') {
        size_t close = p.find(']', pi + 1);
        if (close != std::string_view::npos) {
          std::string_view set = p.substr(pi + 1, close - pi - 1);
          bool neg = !set.empty() && set[0] == '^';
          if (neg) set.remove_prefix(1);
          unsigned char c = fold(static_cast<unsigned char>(s[si]));
          bool in = false;
          for (size_t k = 0; k < set.size(); ++k) {
            if (k + 2 < set.size() && set[k + 1] == '-') {
              if (c >= fold(static_cast<unsigned char>(set[k])) && c <= fold(static_cast<unsigned char>(set[k + 2])))
                in = true;
              k += 2;
            } else if (c == fold(static_cast<unsigned char>(set[k]))) {
              in = true;
            }
          }
          if (in != neg) {
            si += clen;
            pi = close + 1;
            continue;
          }
        } else if (s[si] == '[') {
          ++si;
          ++pi;
          continue;
        }
      } else if (fold(static_cast<unsigned char>(p[pi])) == fold(static_cast<unsigned char>(s[si]))) {
        ++si;
        ++pi;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    pi = starP + 1;
    starS += charLen(s, starS);
    si = starS;
  }
  while (pi < p.size() && p[pi] == '%') ++pi;
  return pi >= TrimRight(p).size();
}

const TFunction* FindFunction(const std::string& lowerName) {
  for (const TFunction& f : kFunctions)
    if (lowerName == f.Name) return &f;
  return nullptr;
}

TSqlType FunctionResultType(const TFunction& f, const std::vector<TSqlType>& at) {
  std::string n = f.Name;
  auto first = [&]() { return at.empty() ? TSqlType() : at[0]; };
  if (n == "len" || n == "charindex" || n == "year" || n == "month" || n == "day" || n == "datepart" ||
      n == "datediff" || n == "ascii" || n == "unicode" || n == "count")
    return TSqlType::Of(TTypeClass::Int);
  if (n == "getdate" || n == "sysdatetime" || n == "dateadd") return TSqlType::Of(TTypeClass::DateTime);
  if (n == "sqrt" || n == "avg") return TSqlType::Of(TTypeClass::Float);
  if (n == "isnull" || n == "coalesce" || n == "nullif" || n == "max" || n == "min") {
    for (const auto& t : at)
      if (!t.IsUnknown()) return t;
    return TSqlType();
  }
  if (n == "sum") {
    TSqlType t = first();
    if (t.Class == TTypeClass::Bit) return TSqlType::Of(TTypeClass::Int);
    return t;
  }
  if (n == "abs" || n == "round" || n == "floor" || n == "ceiling" || n == "power" || n == "sign") {
    TSqlType t = first();
    return t.IsNumeric() ? t : TSqlType::Of(TTypeClass::Float);
  }
  return TSqlType::Of(TTypeClass::Text);
}

void RegisterFunctions(sqlite3* db) {
  sqlite3_create_collation_v2(db, "TSQL", SQLITE_UTF8, nullptr, CollationCompare, nullptr);
  for (const TFunction& f : kFunctions) {
    if (f.Aggregate || std::strncmp(f.SqlName, "t_", 2) != 0) continue;
    // The clock and the session's locks change between calls.
    bool changes = std::strcmp(f.Name, "getdate") == 0 || std::strcmp(f.Name, "sysdatetime") == 0 ||
                   std::strcmp(f.Name, "applock_mode") == 0;
    int flags = SQLITE_UTF8 | (changes ? 0 : SQLITE_DETERMINISTIC);
    sqlite3_create_function_v2(db, f.SqlName, -1, flags, const_cast<TFunction*>(&f), ScalarTrampoline, nullptr,
                               nullptr, nullptr);
  }
  sqlite3_create_function_v2(db, "t_conv", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, ConvTrampoline,
                             nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "t_add", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, AddTrampoline, nullptr,
                             nullptr, nullptr);
  sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, LikeTrampoline, nullptr,
                             nullptr, nullptr);
  sqlite3_create_function_v2(db, "t_like_lo", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, LikeLoTrampoline,
                             nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "t_like_hi", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, LikeHiTrampoline,
                             nullptr, nullptr, nullptr);
}

int TakeLastFunctionError() {
  int n = tLastFunctionError;
  tLastFunctionError = 0;
  return n;
}

}  // namespace ooa::tsql
