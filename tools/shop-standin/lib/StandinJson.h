// Small JSON and time helpers of the stand-in shop (RapidJSON). Pure functions;
// any thread. Values returned by reference belong to the document passed in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <rapidjson/document.h>

namespace ooa::standin {

using TJson = rapidjson::Document;
using TValue = rapidjson::Value;
using TAlloc = rapidjson::Document::AllocatorType;

// Parses text; nullopt when it is not JSON.
std::optional<TJson> ParseJson(const std::string& text);
std::string ToText(const TValue& value);

TValue Str(const std::string& text, TAlloc& alloc);
// A copy of value, or fallback when value is nullptr.
TValue CopyOr(const TValue* value, TValue fallback, TAlloc& alloc);
TJson Copy(const TValue& value);

// Sets (adds or replaces) a member of an object.
void SetMember(TValue& object, const std::string& name, TValue value, TAlloc& alloc);
// The member or nullptr.
const TValue* Member(const TValue& object, const char* name);
TValue* Member(TValue& object, const char* name);

// Text of a string, the digits of an integer, "" otherwise.
std::string TextOf(const TValue* value);
// An id given as a number or a string of digits; nullopt when it is neither.
std::optional<int64_t> IdOf(const TValue* value);

// Money as the shop writes it: a string with two decimals. Numbers are formatted,
// strings are kept as they are.
TValue MoneyValue(const TValue& value, TAlloc& alloc);
std::string Money(double amount);
// The amount of a money value (number or numeric string); 0 when neither.
double AmountOf(const TValue* value);

// {"code":..., "message":..., "data":{"status":status}}; data null when status is 0.
std::string ErrorBody(const std::string& code, const std::string& message, int status);
TValue ErrorValue(const std::string& code, const std::string& message, int status, TAlloc& alloc);

// "yyyy-mm-ddThh:mm:ss" in UTC.
std::string UtcText(int64_t epochSeconds);
// Reads "yyyy-mm-ddThh:mm:ss" (or a blank instead of T), optional fraction and an
// optional "Z" or +hh:mm / -hh:mm offset (without one the text is UTC). Whole seconds.
std::optional<int64_t> ParseUtc(const std::string& text);

}  // namespace ooa::standin
