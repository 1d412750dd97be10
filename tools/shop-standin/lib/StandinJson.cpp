#include "StandinJson.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <regex>

#include <rapidjson/error/en.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace ooa::standin {

std::optional<TJson> ParseJson(const std::string& text) {
  TJson doc;
  doc.Parse<rapidjson::kParseFullPrecisionFlag>(text.c_str(), text.size());
  if (doc.HasParseError()) return std::nullopt;
  return doc;
}

std::string ToText(const TValue& value) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

TValue Str(const std::string& text, TAlloc& alloc) {
  return TValue(text.c_str(), static_cast<rapidjson::SizeType>(text.size()), alloc);
}

TValue CopyOr(const TValue* value, TValue fallback, TAlloc& alloc) {
  return value ? TValue(*value, alloc) : std::move(fallback);
}

TJson Copy(const TValue& value) {
  TJson doc;
  doc.CopyFrom(value, doc.GetAllocator());
  return doc;
}

void SetMember(TValue& object, const std::string& name, TValue value, TAlloc& alloc) {
  auto it = object.FindMember(name.c_str());
  if (it != object.MemberEnd()) {
    it->value = std::move(value);
  } else {
    object.AddMember(Str(name, alloc), std::move(value), alloc);
  }
}

const TValue* Member(const TValue& object, const char* name) {
  if (!object.IsObject()) return nullptr;
  auto it = object.FindMember(name);
  return it == object.MemberEnd() ? nullptr : &it->value;
}

TValue* Member(TValue& object, const char* name) {
  if (!object.IsObject()) return nullptr;
  auto it = object.FindMember(name);
  return it == object.MemberEnd() ? nullptr : &it->value;
}

std::string TextOf(const TValue* value) {
  if (!value) return "";
  if (value->IsString()) return std::string(value->GetString(), value->GetStringLength());
  if (value->IsInt64()) return std::to_string(value->GetInt64());
  if (value->IsUint64()) return std::to_string(value->GetUint64());
  return "";
}

std::optional<int64_t> IdOf(const TValue* value) {
  if (!value) return std::nullopt;
  if (value->IsInt64()) return value->GetInt64();
  if (value->IsDouble() && std::floor(value->GetDouble()) == value->GetDouble()) {
    return static_cast<int64_t>(value->GetDouble());
  }
  if (value->IsString()) {
    std::string text(value->GetString(), value->GetStringLength());
    if (text.empty() || text.size() > 18) return std::nullopt;
    for (char c : text) {
      if (c < '0' || c > '9') return std::nullopt;
    }
    return std::stoll(text);
  }
  return std::nullopt;
}

std::string Money(double amount) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", amount);
  return text;
}

TValue MoneyValue(const TValue& value, TAlloc& alloc) {
  if (value.IsNumber()) return Str(Money(value.GetDouble()), alloc);
  return TValue(value, alloc);
}

double AmountOf(const TValue* value) {
  if (!value) return 0;
  if (value->IsNumber()) return value->GetDouble();
  if (value->IsString()) {
    char* end = nullptr;
    double amount = std::strtod(value->GetString(), &end);
    return end && *end == '\0' ? amount : 0;
  }
  return 0;
}

TValue ErrorValue(const std::string& code, const std::string& message, int status, TAlloc& alloc) {
  TValue error(rapidjson::kObjectType);
  error.AddMember("code", Str(code, alloc), alloc);
  error.AddMember("message", Str(message, alloc), alloc);
  if (status == 0) {
    error.AddMember("data", TValue(), alloc);
  } else {
    TValue data(rapidjson::kObjectType);
    data.AddMember("status", status, alloc);
    error.AddMember("data", data, alloc);
  }
  return error;
}

std::string ErrorBody(const std::string& code, const std::string& message, int status) {
  TJson doc;
  TValue error = ErrorValue(code, message, status, doc.GetAllocator());
  return ToText(error);
}

std::string UtcText(int64_t epochSeconds) {
  std::time_t t = static_cast<std::time_t>(epochSeconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return text;
}

std::optional<int64_t> ParseUtc(const std::string& text) {
  static const std::regex pattern(
      R"(^(\d{4})-(\d{2})-(\d{2})[Tt ](\d{2}):(\d{2}):(\d{2})(\.\d+)?(Z|z|([+-])(\d{2}):?(\d{2})?)?$)");
  std::smatch m;
  if (!std::regex_match(text, m, pattern)) return std::nullopt;
  std::tm tm{};
  tm.tm_year = std::stoi(m[1]) - 1900;
  tm.tm_mon = std::stoi(m[2]) - 1;
  tm.tm_mday = std::stoi(m[3]);
  tm.tm_hour = std::stoi(m[4]);
  tm.tm_min = std::stoi(m[5]);
  tm.tm_sec = std::stoi(m[6]);
  if (tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_mday > 31 || tm.tm_hour > 23 || tm.tm_min > 59 ||
      tm.tm_sec > 60) {
    return std::nullopt;
  }
  int64_t seconds = timegm(&tm);
  if (m[9].matched) {
    int64_t offset = std::stoi(m[10]) * 3600 + (m[11].matched ? std::stoi(m[11]) * 60 : 0);
    seconds += m[9] == "+" ? -offset : offset;
  }
  return seconds;
}

}  // namespace ooa::standin
