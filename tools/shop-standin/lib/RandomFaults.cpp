// The seeded random fault mode of the stand-in (see RandomFaults.h).
#include "RandomFaults.h"

#include "Faults.h"
#include "StandinJson.h"

namespace ooa::standin {
namespace {

const char* const kAllKinds[] = {"status", "timeout", "notjson", "drop", "slow"};

bool KnownKind(const std::string& kind) {
  for (const char* k : kAllKinds)
    if (kind == k) return true;
  return false;
}

}  // namespace

bool TRandomFaults::Configure(const std::string& json, std::string& error) {
  auto doc = ParseJson(json.empty() ? std::string("{}") : json);
  if (!doc || !doc->IsObject()) {
    error = "Random faults are a JSON object: {seed, rate, kinds, statuses, delay_ms, timeout_ms, route}.";
    return false;
  }
  uint64_t seed = 1;
  if (const TValue* v = Member(*doc, "seed")) {
    auto n = IdOf(v);
    if (!n || *n < 0) {
      error = "\"seed\" must be a non-negative integer.";
      return false;
    }
    seed = static_cast<uint64_t>(*n);
  }
  double rate = 0.1;
  if (const TValue* v = Member(*doc, "rate")) {
    if (!v->IsNumber() || v->GetDouble() < 0 || v->GetDouble() > 1) {
      error = "\"rate\" must be a number from 0 to 1.";
      return false;
    }
    rate = v->GetDouble();
  }
  std::vector<std::string> kinds(std::begin(kAllKinds), std::end(kAllKinds));
  if (const TValue* v = Member(*doc, "kinds")) {
    if (!v->IsArray() || v->Empty()) {
      error = "\"kinds\" must be a non-empty array of status, timeout, notjson, drop, slow.";
      return false;
    }
    kinds.clear();
    for (const auto& k : v->GetArray()) {
      std::string kind = k.IsString() ? k.GetString() : "";
      if (!KnownKind(kind)) {
        error = "\"kinds\" must be a non-empty array of status, timeout, notjson, drop, slow.";
        return false;
      }
      kinds.push_back(kind);
    }
  }
  std::vector<int> statuses = {500, 503, 401};
  if (const TValue* v = Member(*doc, "statuses")) {
    if (!v->IsArray() || v->Empty()) {
      error = "\"statuses\" must be a non-empty array of HTTP statuses.";
      return false;
    }
    statuses.clear();
    for (const auto& s : v->GetArray()) {
      if (!s.IsInt() || s.GetInt() < 100 || s.GetInt() > 599) {
        error = "\"statuses\" must be a non-empty array of HTTP statuses.";
        return false;
      }
      statuses.push_back(s.GetInt());
    }
  }
  int delays[2] = {500, 5000};
  const char* delayNames[2] = {"delay_ms", "timeout_ms"};
  for (int i = 0; i < 2; ++i) {
    if (const TValue* v = Member(*doc, delayNames[i])) {
      auto n = IdOf(v);
      if (!n || *n < 0 || *n > 600000) {
        error = "\"" + std::string(delayNames[i]) + "\" must be an integer from 0 to 600000.";
        return false;
      }
      delays[i] = static_cast<int>(*n);
    }
  }
  std::string route = TextOf(Member(*doc, "route"));
  std::regex pattern;
  try {
    pattern = std::regex(route, std::regex::ECMAScript);
  } catch (const std::regex_error& e) {
    error = "\"route\" is not a valid regular expression: " + std::string(e.what());
    return false;
  }
  std::lock_guard lock(Mutex);
  Active = rate > 0;
  Seed = seed;
  Rate = rate;
  Kinds = std::move(kinds);
  Statuses = std::move(statuses);
  DelayMs = delays[0];
  TimeoutMs = delays[1];
  Route = route;
  Pattern = std::move(pattern);
  Random.seed(seed);
  return true;
}

void TRandomFaults::Stop() {
  std::lock_guard lock(Mutex);
  Active = false;
}

void TRandomFaults::Reset() {
  std::lock_guard lock(Mutex);
  Active = false;
  Rate = 0;
  Requests = 0;
  Injected.clear();
}

bool TRandomFaults::Draw(const std::string& resource, TFault& fault) {
  std::lock_guard lock(Mutex);
  if (!Active) return false;
  if (!Route.empty() && !std::regex_search(resource, Pattern)) return false;
  ++Requests;
  // Three draws per request whatever the outcome, so one request's fault never
  // shifts what later requests get.
  const double chance = std::uniform_real_distribution<double>(0, 1)(Random);
  const size_t kindIndex = std::uniform_int_distribution<size_t>(0, Kinds.size() - 1)(Random);
  const size_t statusIndex = std::uniform_int_distribution<size_t>(0, Statuses.size() - 1)(Random);
  if (chance >= Rate) return false;
  const std::string& kind = Kinds[kindIndex];
  fault = TFault{};
  fault.Route = Route;
  std::string counter = kind;
  if (kind == "status") {
    fault.Kind = TFault::Status;
    fault.HttpStatus = Statuses[statusIndex];
    counter = "status " + std::to_string(fault.HttpStatus);
  } else if (kind == "timeout" || kind == "slow") {
    // The request takes effect when it arrives and the answer comes late: a
    // change must never land after requests the client sent later, even when
    // the client gave up waiting for it.
    fault.Kind = TFault::LateAnswer;
    fault.DelayMs = kind == "timeout" ? TimeoutMs : DelayMs;
  } else if (kind == "notjson") {
    fault.Kind = TFault::NotJson;
    fault.HttpStatus = 200;
  } else {
    fault.Kind = TFault::Drop;
  }
  ++Injected[counter];
  return true;
}

std::string TRandomFaults::Text() const {
  std::lock_guard lock(Mutex);
  TJson doc(rapidjson::kObjectType);
  auto& a = doc.GetAllocator();
  doc.AddMember("active", Active, a);
  doc.AddMember("seed", TValue(static_cast<uint64_t>(Seed)), a);
  doc.AddMember("rate", Rate, a);
  doc.AddMember("requests", TValue(static_cast<uint64_t>(Requests)), a);
  TValue injected(rapidjson::kObjectType);
  for (const auto& [name, count] : Injected)
    injected.AddMember(Str(name, a), TValue(static_cast<uint64_t>(count)), a);
  doc.AddMember("injected", injected, a);
  return ToText(doc);
}

}  // namespace ooa::standin
