// The shared batch upload protocol (see BatchUpload.h).
#include "sync/catalog/BatchUpload.h"

#include <string>
#include <utility>
#include <vector>

#include "config/ActivityLog.h"
#include "shop/rest/RestChannel.h"
#include "sync/catalog/CatalogueProblems.h"

namespace ooa {
namespace {

const rapidjson::Value& NullValue() {
  static const rapidjson::Value null;
  return null;
}

const rapidjson::Value* MemberOf(const rapidjson::Value& object, const char* name) {
  if (!object.IsObject()) return nullptr;
  auto it = object.FindMember(name);
  return it == object.MemberEnd() ? nullptr : &it->value;
}

// The element's shop id, resolved for this element alone; "" for none.
std::string ResolveId(const TBatchUpload& upload, TResultArray array, const rapidjson::Value& element,
                      const rapidjson::Value* error) {
  if (array == TResultArray::Create && error) {
    if (upload.AcceptCreateError && !upload.AcceptCreateError(*error)) return "";
    const rapidjson::Value* data = MemberOf(*error, "data");
    const rapidjson::Value* resource = data ? MemberOf(*data, "resource_id") : nullptr;
    return resource ? JsonTextOrEmpty(*resource) : std::string();
  }
  return MemberText(element, "id");
}

// The POS object an entry stands for, as the problems list names it.
std::string ObjectCode(const rapidjson::Value& entry, const rapidjson::Value& element) {
  for (const char* key : {"sku", "raw_name"}) {
    const std::string code = MemberText(entry, key);
    if (!code.empty()) return code;
  }
  const std::string original = MemberText(entry, "translation_of");
  if (!original.empty()) return "#" + original + " in " + MemberText(entry, "lang");
  std::string id = MemberText(entry, "id");
  if (id.empty()) id = MemberText(element, "id");
  if (id.empty() && !entry.IsObject() && !entry.IsNull()) id = JsonTextOrEmpty(entry);  // a delete list holds bare ids
  return id.empty() ? std::string() : "#" + id;
}

// The shop's words about a refused entry: its message, and its code.
std::string ShopMessage(const rapidjson::Value& error) {
  std::string message = MemberText(error, "message");
  const std::string code = MemberText(error, "code");
  if (message.empty()) return code.empty() ? "refused by the shop" : code;
  return code.empty() ? message : message + " (" + code + ")";
}

// Tells the pass's problems list how the shop answered one entry.
void NoteAnswer(const TBatchUpload& upload, const rapidjson::Value& entry, const rapidjson::Value& element,
                const rapidjson::Value* refusal) {
  TCatalogueProblems* problems = CurrentCatalogueProblems();
  if (!problems || upload.ProblemKind.empty()) return;
  const std::string code = ObjectCode(entry, element);
  if (code.empty()) return;
  if (refusal)
    problems->Refused(upload.ProblemKind, code, ShopMessage(*refusal));
  else
    problems->Accepted(upload.ProblemKind, code);
}

void ProcessArray(TWriteBackQueue& queue, const TBatchUpload& upload, TResultArray array, const char* name,
                  const rapidjson::Value& request, const rapidjson::Value& answer) {
  const rapidjson::Value* results = MemberOf(answer, name);
  if (!results || !results->IsArray()) return;
  const rapidjson::Value* entries = MemberOf(request, name);
  const rapidjson::SizeType entryCount = entries && entries->IsArray() ? entries->Size() : 0;

  for (rapidjson::SizeType i = 0; i < results->Size(); ++i) {
    const rapidjson::Value& element = (*results)[i];
    const rapidjson::Value& entry = i < entryCount ? (*entries)[i] : NullValue();
    const rapidjson::Value* error = MemberOf(element, "error");
    if (error && error->IsNull()) error = nullptr;
    const bool updateError = array == TResultArray::Update && error;
    if (updateError && !upload.UpdateError) {
      NoteAnswer(upload, entry, element, error);
      continue;
    }

    TBatchResult result{array, entry, element, ResolveId(upload, array, element, error), error, i};
    if (result.Id.empty()) {
      NoteAnswer(upload, entry, element, error);
      continue;
    }

    const std::string statement = updateError ? upload.UpdateError(result)
                                  : upload.WriteBack ? upload.WriteBack(result)
                                                     : std::string();
    // An error the upload turned into a write-back (an id adopted, an object
    // the shop lost taken offline) is handled, not refused.
    NoteAnswer(upload, entry, element, error && statement.empty() ? error : nullptr);
    QueueWriteBack(queue, statement, upload.WriteBacksMayWait);
    if (!updateError && upload.AfterWrite) upload.AfterWrite(result);
  }
}

}  // namespace

void ProcessBatchResults(TWriteBackQueue& queue, const TBatchUpload& upload, const rapidjson::Value& request,
                         const rapidjson::Value& answer) {
  if (!answer.IsObject()) return;
  TWriteBackScope scope(queue);
  if (upload.UseCreate) ProcessArray(queue, upload, TResultArray::Create, "create", request, answer);
  if (upload.UseUpdate) ProcessArray(queue, upload, TResultArray::Update, "update", request, answer);
  if (upload.UseDelete) ProcessArray(queue, upload, TResultArray::Delete, "delete", request, answer);
}

namespace {

// SendBatchObject with the batch's request text at hand.
bool SendBatch(TRestChannel& channel, TWriteBackQueue& queue, const TBatchUpload& upload,
               const rapidjson::Value& batch, const std::string& json) {
  using TLog = TBatchUpload::TResponseLog;
  TWriteBackScope scope(queue);
  try {
    channel.SetResource(upload.Resource);
    channel.SetMethod("POST");
    channel.ClearBody();
    channel.AddJsonBody(json);
    if (upload.LogRequest) LogLine(json);
    // The ids answered so far are committed as soon as this request has left,
    // while the shop works on it.
    if (queue.MustFlush()) channel.SetOnSent([&queue] { FlushWriteBacksNoThrow(queue); });
    channel.Execute();

    const bool isJson = channel.JsonValue() != nullptr;
    if (upload.ResponseLog == TLog::Always || (upload.ResponseLog == TLog::WhenJson && isJson)) {
      LogLine(channel.Content());
    }
    if (!isJson) {
      LogLine(upload.ResponseLog == TLog::InsteadOfFailed ? channel.Content() : std::string("Request Failed."));
      LogLine("The shop's answer cannot be read: " + channel.JsonError() + ".");
      return false;
    }
    // Taken from the channel: write-backs may send further requests on it.
    rapidjson::Document answer;
    channel.TakeJsonValue(answer);
    ProcessBatchResults(queue, upload, batch, answer);
    LogLine(upload.FinishedLine);
    return true;
  } catch (const std::exception& e) {
    LogLine("Connect to server fail.");
    LogLine(e.what());  // the cause: a transport failure, a server error, a redirect out of the shop
    return false;
  } catch (...) {
    LogLine("Connect to server fail.");
    return false;
  }
}

}  // namespace

bool SendBatchObject(TRestChannel& channel, TWriteBackQueue& queue, const TBatchUpload& upload,
                     const rapidjson::Value& batch) {
  return SendBatch(channel, queue, upload, batch, RequestJsonText(batch));
}

void RunBatchUpload(TRestChannel& channel, TWriteBackQueue& queue, const TBatchUpload& upload,
                    const TBatchList& list) {
  if (list.Empty()) return;
  LogLine(upload.StartLine + std::to_string(list.Count()));
  // One batch object at a time is a document: the one being sent.
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const rapidjson::Document batch = list.Batch(i);
    SendBatch(channel, queue, upload, batch, list.BatchJson(i));
  }
}

}  // namespace ooa
