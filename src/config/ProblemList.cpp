#include "config/ProblemList.h"

#include <functional>
#include <stdexcept>

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "config/Config.h"
#include "config/FileBytes.h"
#include "config/FileLock.h"

namespace ooa {

namespace {

const char* const kKind = "state file";

// Changes hold "<path>.lock" exclusively, reads hold it shared.

std::string Text(const rapidjson::Value& entry, const char* key) {
  auto it = entry.FindMember(key);
  return it != entry.MemberEnd() && it->value.IsString() ? std::string(it->value.GetString(), it->value.GetStringLength())
                                                         : std::string();
}

bool Parse(const std::string& bytes, std::vector<TProblem>& out) {
  rapidjson::Document doc;
  doc.Parse(bytes.data(), bytes.size());
  if (doc.HasParseError() || !doc.IsObject()) return false;
  auto list = doc.FindMember("problems");
  if (list == doc.MemberEnd() || !list->value.IsArray()) return false;
  for (const auto& entry : list->value.GetArray()) {
    if (!entry.IsObject()) return false;
    TProblem p;
    p.Id = Text(entry, "id");
    if (p.Id.empty()) return false;
    p.Kind = Text(entry, "kind");
    p.OrderId = Text(entry, "order");
    p.RefundId = Text(entry, "refund");
    p.InvoiceNo = Text(entry, "invoice");
    p.Object = Text(entry, "object");
    p.Reason = Text(entry, "reason");
    p.FirstTry = Text(entry, "firstTry");
    p.LastTry = Text(entry, "lastTry");
    auto dismissed = entry.FindMember("dismissed");
    p.Dismissed = dismissed != entry.MemberEnd() && dismissed->value.IsBool() && dismissed->value.GetBool();
    auto reprint = entry.FindMember("reprint");
    p.Reprint = reprint != entry.MemberEnd() && reprint->value.IsBool() && reprint->value.GetBool();
    out.push_back(std::move(p));
  }
  return true;
}

std::string Serialise(const std::vector<TProblem>& problems) {
  rapidjson::StringBuffer buffer;
  rapidjson::PrettyWriter<rapidjson::StringBuffer> w(buffer);
  w.StartObject();
  w.Key("problems");
  w.StartArray();
  for (const TProblem& p : problems) {
    w.StartObject();
    w.Key("id"), w.String(p.Id);
    w.Key("kind"), w.String(p.Kind);
    w.Key("order"), w.String(p.OrderId);
    if (!p.RefundId.empty()) w.Key("refund"), w.String(p.RefundId);
    if (!p.InvoiceNo.empty()) w.Key("invoice"), w.String(p.InvoiceNo);
    if (!p.Object.empty()) w.Key("object"), w.String(p.Object);
    w.Key("reason"), w.String(p.Reason);
    w.Key("firstTry"), w.String(p.FirstTry);
    w.Key("lastTry"), w.String(p.LastTry);
    w.Key("dismissed"), w.Bool(p.Dismissed);
    if (p.Reprint) w.Key("reprint"), w.Bool(true);
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

// The entries of the file; a damaged file is moved aside (the caller holds
// the exclusive lock) or, under a shared lock, just read as empty.
std::vector<TProblem> ReadEntries(const std::string& path, bool mayMoveAside) {
  const std::optional<std::string> bytes = ReadFileBytes(path, kKind);
  std::vector<TProblem> problems;
  if (!bytes || bytes->empty()) return problems;
  if (Parse(*bytes, problems)) return problems;
  if (mayMoveAside) MoveFileOver(path, path + ".damaged");
  return {};
}

// seen: the entries after the change (as read when nothing changed); nothing
// when the change failed.
void Change(const std::string& path, const std::function<bool(std::vector<TProblem>&)>& change,
            std::optional<std::vector<TProblem>>& seen) {
  seen.reset();
  TFileLock lock(path + ".lock", true);
  std::vector<TProblem> problems = ReadEntries(path, true);
  if (change(problems)) WriteFileAtomically(path, Serialise(problems), kKind);
  seen = std::move(problems);
}

}  // namespace

std::string OrderProblemId(const std::string& orderId) { return "order:" + orderId; }
std::string RefundProblemId(const std::string& orderId, const std::string& refundId) {
  return "refund:" + orderId + "/" + refundId;
}
std::string ReceiptProblemId(const std::string& invoiceNo) { return "receipt:" + invoiceNo; }
std::string CatalogueProblemId(const std::string& kind, const std::string& code) { return kind + ":" + code; }

bool IsCatalogueProblemKind(const std::string& kind) {
  for (const char* k : {"category", "product", "variation", "stock", "translation"})
    if (kind == k) return true;
  return false;
}

std::string ProblemSubject(const TProblem& p) {
  if (p.Kind == "order") return "Order " + p.OrderId;
  if (p.Kind == "refund") return "Refund " + p.RefundId + " of order " + p.OrderId;
  if (p.Kind == "receipt")
    return "Receipt of " + p.InvoiceNo + (p.OrderId.empty() ? std::string() : " (order " + p.OrderId + ")");
  if (IsCatalogueProblemKind(p.Kind) && !p.Object.empty()) {
    std::string kind = p.Kind;
    kind[0] = static_cast<char>(kind[0] - 'a' + 'A');
    return kind + " " + p.Object;
  }
  return p.Id;
}

TProblemList::TProblemList(std::string path) : FilePath(std::move(path)) {}

std::vector<TProblem> TProblemList::Load() const {
  Seen.reset();
  TFileLock lock(FilePath + ".lock", false);
  Seen = ReadEntries(FilePath, false);
  return *Seen;
}

void TProblemList::Record(const TProblem& problem, const std::string& now) {
  Change(FilePath, [&](std::vector<TProblem>& problems) {
    for (TProblem& p : problems) {
      if (p.Id != problem.Id) continue;
      if (p.Reason == problem.Reason && p.LastTry == now) return false;
      p.Reason = problem.Reason;
      p.LastTry = now;
      return true;
    }
    TProblem added = problem;
    added.FirstTry = added.LastTry = now;
    added.Dismissed = false;
    problems.push_back(std::move(added));
    return true;
  }, Seen);
}

bool TProblemList::Resolve(const std::string& id) {
  bool found = false;
  Change(FilePath, [&](std::vector<TProblem>& problems) {
    for (auto it = problems.begin(); it != problems.end(); ++it) {
      if (it->Id != id) continue;
      problems.erase(it);
      found = true;
      return true;
    }
    return false;
  }, Seen);
  return found;
}

bool TProblemList::Dismiss(const std::string& id) {
  bool found = false;
  Change(FilePath, [&](std::vector<TProblem>& problems) {
    for (TProblem& p : problems) {
      if (p.Id != id) continue;
      found = true;
      if (p.Dismissed) return false;
      p.Dismissed = true;
      return true;
    }
    return false;
  }, Seen);
  return found;
}

bool TProblemList::RequestReprint(const std::string& id, bool requested) {
  bool found = false;
  Change(FilePath, [&](std::vector<TProblem>& problems) {
    for (TProblem& p : problems) {
      if (p.Id != id || p.Kind != "receipt") continue;
      found = true;
      if (p.Reprint == requested) return false;
      p.Reprint = requested;
      return true;
    }
    return false;
  }, Seen);
  return found;
}

std::string ProblemListPath() { return ConfigDir() + "OnlineService.state"; }

}  // namespace ooa
