#include "shop/woo/OrderJson.h"

#include <cctype>
#include <cmath>
#include <charconv>

#include "config/Clock.h"
#include "config/UtilUnit.h"

namespace ooa {

const rapidjson::Value& JsonMember(const rapidjson::Value& obj, const char* key) {
  if (!obj.IsObject()) throw TJsonReadError(std::string("Not a JSON object where \"") + key + "\" was expected.");
  auto it = obj.FindMember(key);
  if (it == obj.MemberEnd()) throw TJsonReadError(std::string("Key \"") + key + "\" is missing.");
  return it->value;
}

const rapidjson::Value& JsonObject(const rapidjson::Value& obj, const char* key) {
  const rapidjson::Value& v = JsonMember(obj, key);
  if (!v.IsObject()) throw TJsonReadError(std::string("\"") + key + "\" is not a JSON object.");
  return v;
}

const rapidjson::Value& JsonArray(const rapidjson::Value& obj, const char* key) {
  const rapidjson::Value& v = JsonMember(obj, key);
  if (!v.IsArray()) throw TJsonReadError(std::string("\"") + key + "\" is not a JSON array.");
  return v;
}

std::string JsonValueText(const rapidjson::Value& value, const char* what) {
  if (value.IsString()) return std::string(value.GetString(), value.GetStringLength());
  if (value.IsNull()) return "null";
  if (value.IsBool()) return value.GetBool() ? "true" : "false";
  // Documents parsed without keeping numbers as text.
  if (value.IsInt64()) return std::to_string(value.GetInt64());
  if (value.IsUint64()) return std::to_string(value.GetUint64());
  if (value.IsNumber()) return FloatToText(value.GetDouble());
  throw TJsonReadError(std::string("\"") + what + "\" is not a single value.");
}

std::string JsonText(const rapidjson::Value& obj, const char* key) {
  return JsonValueText(JsonMember(obj, key), key);
}

double TextToNumber(const std::string& text, const char* what) {
  // Decimal grammar checked by hand, so no locale, "inf", "nan" or hex slips in.
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  bool ok = digits > 0;
  if (ok && i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++expDigits;
    ok = expDigits > 0;
  }
  if (!ok || i != n) throw TJsonReadError("'" + text + "' of \"" + what + "\" is not a valid number.");
  double value = 0;
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  auto [end, ec] = std::from_chars(first, text.data() + n, value);
  if (ec != std::errc() || end != text.data() + n) throw TJsonReadError("'" + text + "' of \"" + what + "\" is not a valid number.");
  return value;
}

double JsonNumber(const rapidjson::Value& obj, const char* key) {
  const std::string text = JsonText(obj, key);
  const double value = TextToNumber(text, key);
  if (!(std::fabs(value) <= kMaxOrderFigure))
    throw TJsonReadError("'" + text + "' of \"" + key + "\" is beyond what an order can hold (" +
                         std::to_string(static_cast<long long>(kMaxOrderFigure)) + " at most, either sign).");
  return value;
}

TDateTime JsonLocalDateTime(const rapidjson::Value& obj, const char* key) {
  const std::string text = JsonText(obj, key);
  const TDateTime local = Clock().UtcToLocal(ParseShopDateTime(text));
  // SQL Server's datetime holds the years 1753 to 9999; a date outside them
  // would fail the write on every pass.
  const int year = local.ToCivil().Year;
  if (year < 1753 || year > 9999)
    throw TJsonReadError("'" + text + "' of \"" + key + "\" is outside the dates the POS can keep.");
  return local;
}

}  // namespace ooa
