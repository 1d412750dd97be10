// Reading values out of the shop's order JSON the way the order import does:
// every value is the text of a JSON value under a key (a string's content, a
// number's digits as sent, true / false / null as words); numbers are taken
// from that text with '.' as the decimal point. A missing key, a value of the
// wrong kind or text that is not a number throws TJsonReadError with a message
// naming the key. Free functions without state; any thread.
#pragma once

#include <stdexcept>
#include <string>

#include <rapidjson/document.h>

#include "config/DateTime.h"

namespace ooa {

class TJsonReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The member value of an object; throws when obj is no object or key is absent.
const rapidjson::Value& JsonMember(const rapidjson::Value& obj, const char* key);
const rapidjson::Value& JsonObject(const rapidjson::Value& obj, const char* key);
const rapidjson::Value& JsonArray(const rapidjson::Value& obj, const char* key);
// The text of a scalar value (objects and arrays throw).
std::string JsonValueText(const rapidjson::Value& value, const char* what);
// JsonValueText of the member key; throws like JsonMember. The catalogue's
// lenient reader, which gives "" instead, is JsonTextOrEmpty
// (shop/woo/BatchList.h).
std::string JsonText(const rapidjson::Value& obj, const char* key);
// The text converted to a number: optional sign, digits with an optional
// fraction, optional exponent; anything else (empty, "null", "1,5") throws.
double TextToNumber(const std::string& text, const char* what);
// The order's figures (money, points, quantities) are read with JsonNumber,
// which refuses a value beyond this, either sign: no till sells a billion of
// anything, and such a figure would be booked as it came.
inline constexpr double kMaxOrderFigure = 1e9;
// A line's quantity is further bounded per line.
inline constexpr double kMaxLineQuantity = 100000;
double JsonNumber(const rapidjson::Value& obj, const char* key);
// A shop date-time in UTC ("yyyy-mm-ddThh:mm:ss") as local time (Clock());
// throws when the local time is outside the years 1753 to 9999.
TDateTime JsonLocalDateTime(const rapidjson::Value& obj, const char* key);

}  // namespace ooa
