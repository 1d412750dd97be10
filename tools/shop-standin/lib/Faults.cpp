#include "Faults.h"

#include "StandinJson.h"

namespace ooa::standin {
namespace {
const char* KindName(TFault::EKind kind) {
  switch (kind) {
    case TFault::Status: return "status";
    case TFault::Delay: return "delay";
    case TFault::NotJson: return "notjson";
    case TFault::Drop: return "drop";
    case TFault::LateAnswer: return "late";
  }
  return "";
}
}  // namespace

bool TFaults::Add(const std::string& json, std::string& error) {
  auto doc = ParseJson(json);
  if (!doc || !doc->IsObject()) {
    error = "A fault is a JSON object: {route, count, kind, status, body, delay_ms, method}.";
    return false;
  }
  TFault fault;
  fault.Route = TextOf(Member(*doc, "route"));
  fault.Method = TextOf(Member(*doc, "method"));
  if (const TValue* count = Member(*doc, "count")) {
    auto n = IdOf(count);
    if (!n || *n < 1) {
      error = "\"count\" must be a positive integer.";
      return false;
    }
    fault.Count = static_cast<int>(*n);
  }
  std::string kind = TextOf(Member(*doc, "kind"));
  if (kind.empty() || kind == "status") {
    fault.Kind = TFault::Status;
  } else if (kind == "delay") {
    fault.Kind = TFault::Delay;
  } else if (kind == "notjson") {
    fault.Kind = TFault::NotJson;
    fault.HttpStatus = 200;
  } else if (kind == "drop") {
    fault.Kind = TFault::Drop;
  } else {
    error = "\"kind\" must be status, delay, notjson or drop.";
    return false;
  }
  if (const TValue* status = Member(*doc, "status")) {
    auto n = IdOf(status);
    if (!n || *n < 100 || *n > 599) {
      error = "\"status\" must be an HTTP status (100 to 599).";
      return false;
    }
    fault.HttpStatus = static_cast<int>(*n);
  }
  if (const TValue* body = Member(*doc, "body")) {
    fault.Body = body->IsString() ? TextOf(body) : ToText(*body);
  }
  if (const TValue* delay = Member(*doc, "delay_ms")) {
    auto n = IdOf(delay);
    if (!n || *n < 0) {
      error = "\"delay_ms\" must be a non-negative integer.";
      return false;
    }
    fault.DelayMs = static_cast<int>(*n);
  }
  try {
    fault.Pattern = std::regex(fault.Route, std::regex::ECMAScript);
  } catch (const std::regex_error& e) {
    error = "\"route\" is not a valid regular expression: " + std::string(e.what());
    return false;
  }
  std::lock_guard lock(Mutex);
  List.push_back(std::move(fault));
  return true;
}

bool TFaults::Take(const std::string& method, const std::string& path, const std::string& resource,
                   TFault& fault) {
  std::lock_guard lock(Mutex);
  for (auto it = List.begin(); it != List.end(); ++it) {
    if (!it->Method.empty() && it->Method != method) continue;
    const std::string& subject = !it->Route.empty() && it->Route[0] == '/' ? path : resource;
    if (!std::regex_search(subject, it->Pattern)) continue;
    fault = *it;
    if (--it->Count == 0) List.erase(it);
    return true;
  }
  return Random.Draw(resource, fault);
}

void TFaults::Clear() {
  std::lock_guard lock(Mutex);
  List.clear();
}

std::string TFaults::ListText() const {
  std::lock_guard lock(Mutex);
  TJson doc(rapidjson::kArrayType);
  auto& a = doc.GetAllocator();
  for (const auto& f : List) {
    TValue entry(rapidjson::kObjectType);
    entry.AddMember("route", Str(f.Route, a), a);
    entry.AddMember("method", Str(f.Method, a), a);
    entry.AddMember("count", f.Count, a);
    entry.AddMember("kind", TValue(KindName(f.Kind), a), a);
    entry.AddMember("status", f.HttpStatus, a);
    entry.AddMember("body", Str(f.Body, a), a);
    entry.AddMember("delay_ms", f.DelayMs, a);
    doc.PushBack(entry, a);
  }
  return ToText(doc);
}

}  // namespace ooa::standin
