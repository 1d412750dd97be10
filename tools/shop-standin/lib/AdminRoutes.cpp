// The stand-in's own admin interface under /standin/ (no authentication): seed and
// edit orders and refunds, read or replace the whole state, reset, inject faults,
// read the request log and set the shop clock.
#include <regex>

#include "Orders.h"
#include "StandinServer.h"

namespace ooa::standin {
namespace {

TShopResponse Ok(const std::string& body, bool mutated = false) {
  TShopResponse response;
  response.Body = body;
  response.Mutated = mutated;
  return response;
}

bool Flag(const TShopRequest& request, const char* name) {
  const std::string* v = request.QueryValue(name);
  return v && (*v == "1" || *v == "true" || v->empty());
}

}  // namespace

TShopResponse TStandinServer::HandleAdmin(const TShopRequest& request) {
  static const std::regex orderPath(R"(^orders/(\d+)$)");
  static const std::regex statusPath(R"(^orders/(\d+)/status$)");
  static const std::regex refundsPath(R"(^orders/(\d+)/refunds$)");
  std::string r = request.Path.substr(kAdminPrefix.size());
  const std::string& method = request.Method;
  bool get = method == "GET", post = method == "POST", del = method == "DELETE";
  std::smatch m;

  if (get && r == "state") {
    std::lock_guard lock(Store.Mutex);
    return Ok(Store.StateText());
  }
  if (post && r == "state") {
    std::lock_guard lock(Store.Mutex);
    std::string error;
    if (!Store.LoadState(request.Body, error)) return JsonError(400, "standin_invalid_state", error);
    return Ok(R"({"loaded":true})", true);
  }
  if (post && r == "reset") {
    {
      std::lock_guard lock(Store.Mutex);
      Store.Clear();
    }
    Faults.Clear();
    Faults.Random.Reset();
    Log.Clear();
    Verifier->ForgetNonces();
    return Ok(R"({"reset":true})", true);
  }
  if (post && r == "orders") {
    std::lock_guard lock(Store.Mutex);
    return AdminPutOrders(Store, request.Body, Flag(request, "raw"));
  }
  if (post && std::regex_match(r, m, orderPath)) {
    std::lock_guard lock(Store.Mutex);
    return AdminEditOrder(Store, std::stoll(m[1].str()), request.Body);
  }
  if (post && std::regex_match(r, m, statusPath)) {
    std::lock_guard lock(Store.Mutex);
    return AdminSetStatus(Store, std::stoll(m[1].str()), request.Body);
  }
  if (post && std::regex_match(r, m, refundsPath)) {
    std::lock_guard lock(Store.Mutex);
    return AdminAddRefund(Store, std::stoll(m[1].str()), request.Body, Flag(request, "raw"));
  }
  if (r == "faults/random") {
    if (get) return Ok(Faults.Random.Text());
    if (del) {
      Faults.Random.Stop();
      return Ok(Faults.Random.Text());
    }
    if (post) {
      std::string error;
      if (!Faults.Random.Configure(request.Body, error)) return JsonError(400, "standin_invalid_fault", error);
      return Ok(Faults.Random.Text());
    }
  }
  if (r == "faults" || r == "faults/clear") {
    if (get && r == "faults") return Ok(Faults.ListText());
    if ((del && r == "faults") || (post && r == "faults/clear")) {
      Faults.Clear();
      Faults.Random.Stop();
      return Ok(R"({"cleared":true})");
    }
    if (post && r == "faults") {
      std::string error;
      if (!Faults.Add(request.Body, error)) return JsonError(400, "standin_invalid_fault", error);
      return Ok(Faults.ListText());
    }
  }
  if (r == "requests" || r == "requests/clear") {
    if (get && r == "requests") {
      const std::string* after = request.QueryValue("after");
      uint64_t from = 0;
      if (after && !after->empty() && after->find_first_not_of("0123456789") == std::string::npos) {
        from = std::stoull(*after);
      }
      return Ok(Log.Text(from));
    }
    if ((del && r == "requests") || (post && r == "requests/clear")) {
      Log.Clear();
      return Ok(R"({"cleared":true})");
    }
  }
  if (r == "clock" && (get || post)) {
    std::lock_guard lock(Store.Mutex);
    if (post) {
      auto doc = ParseJson(request.Body.empty() ? std::string("{}") : request.Body);
      if (!doc || !doc->IsObject()) return JsonError(400, "standin_invalid_json", "The body must be a JSON object.");
      if (const TValue* now = Member(*doc, "now")) {
        if (now->IsNull()) {
          Store.FrozenNow.reset();
        } else if (auto t = ParseUtc(TextOf(now))) {
          Store.FrozenNow = *t;
        } else {
          return JsonError(400, "standin_invalid_time", "\"now\" must be yyyy-mm-ddThh:mm:ss (UTC) or null.");
        }
      }
      if (const TValue* advance = Member(*doc, "advance_seconds")) {
        if (!advance->IsInt64()) return JsonError(400, "standin_invalid_time", "\"advance_seconds\" must be an integer.");
        Store.FrozenNow = Store.Now() + advance->GetInt64();
      }
    }
    TJson doc(rapidjson::kObjectType);
    auto& a = doc.GetAllocator();
    doc.AddMember("now", Str(UtcText(Store.Now()), a), a);
    doc.AddMember("frozen", Store.FrozenNow.has_value(), a);
    return Ok(ToText(doc));
  }
  return JsonError(404, "standin_no_route", "No admin route " + method + " " + request.Path + ".");
}

}  // namespace ooa::standin
