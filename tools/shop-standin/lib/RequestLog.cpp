#include "RequestLog.h"

#include "StandinJson.h"

namespace ooa::standin {

uint64_t TRequestLog::Add(const TShopRequest& request, const std::string& target) {
  std::lock_guard lock(Mutex);
  uint64_t seq = NextSeq++;
  Entries.push_back({seq, request, target, 0});
  while (Entries.size() > kCapacity) Entries.pop_front();
  return seq;
}

void TRequestLog::SetStatus(uint64_t number, int status) {
  std::lock_guard lock(Mutex);
  for (auto it = Entries.rbegin(); it != Entries.rend(); ++it) {
    if (it->Seq == number) {
      it->Status = status;
      return;
    }
  }
}

std::string TRequestLog::Text(uint64_t after) const {
  std::lock_guard lock(Mutex);
  TJson doc(rapidjson::kArrayType);
  auto& a = doc.GetAllocator();
  for (const auto& e : Entries) {
    if (e.Seq <= after) continue;
    TValue entry(rapidjson::kObjectType);
    entry.AddMember("seq", e.Seq, a);
    entry.AddMember("method", Str(e.Request.Method, a), a);
    entry.AddMember("path", Str(e.Request.Path, a), a);
    entry.AddMember("target", Str(e.Target, a), a);
    TValue query(rapidjson::kArrayType);
    for (const auto& [name, value] : e.Request.Query) {
      TValue pair(rapidjson::kArrayType);
      pair.PushBack(Str(name, a), a);
      pair.PushBack(Str(value, a), a);
      query.PushBack(pair, a);
    }
    entry.AddMember("query", query, a);
    entry.AddMember("content_type", Str(e.Request.ContentType, a), a);
    entry.AddMember("authorization", Str(e.Request.Authorization, a), a);
    entry.AddMember("body", Str(e.Request.Body, a), a);
    entry.AddMember("status", e.Status, a);
    doc.PushBack(entry, a);
  }
  return ToText(doc);
}

void TRequestLog::Clear() {
  std::lock_guard lock(Mutex);
  Entries.clear();
}

}  // namespace ooa::standin
