// TBatchList: cutting rows into batch objects, and the JSON text helpers the
// uploads share.
#include "shop/woo/BatchList.h"

#include <charconv>
#include <cmath>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace ooa {

TBatchList::TBatchList() : Pool(std::make_unique<TJsonAllocator>()) {}

TBatchList::TBatchList(TBatchList&&) noexcept = default;
TBatchList& TBatchList::operator=(TBatchList&&) noexcept = default;
TBatchList::~TBatchList() = default;

void TBatchList::BeginRow() {
  if (EntryCount >= kBatchCut) CloseBatch();
  // The values of earlier rows are text by now; their room goes once it is
  // worth a round of allocation.
  if (Pool->Size() > kPoolKeep) Pool->Clear();
}

void TBatchList::Add(int array, const std::string& text) {
  std::string& entries = Arrays[array];
  if (!entries.empty()) entries += ',';
  entries += text;
  ++EntryCount;
}

void TBatchList::AddCreate(const rapidjson::Value& entry) { Add(0, RequestJsonText(entry)); }

void TBatchList::AddUpdate(const rapidjson::Value& entry) { Add(1, RequestJsonText(entry)); }

void TBatchList::AddDelete(const std::string& id) { Add(2, JsonToText(rapidjson::Value(rapidjson::StringRef(id.data(), id.size())))); }

void TBatchList::Finish() { CloseBatch(); }

void TBatchList::CloseBatch() {
  static const char* const kNames[] = {"\"create\":[", "\"update\":[", "\"delete\":["};
  std::string text = "{";
  for (int k = 0; k < 3; ++k) {
    if (Arrays[k].empty()) continue;
    if (text.size() > 1) text += ',';
    text += kNames[k];
    text += Arrays[k];
    text += ']';
    Arrays[k].clear();
  }
  text += '}';
  Texts.push_back(std::move(text));
  EntryCount = 0;
}

rapidjson::Document TBatchList::Batch(std::size_t index) const {
  rapidjson::Document batch;
  batch.Parse(Texts[index].c_str(), Texts[index].size());
  return batch;
}

void AddText(rapidjson::Value& object, const char* name, const std::string& text, TJsonAllocator& alloc) {
  object.AddMember(rapidjson::Value(name, alloc), rapidjson::Value(text, alloc), alloc);
}

std::string JsonTextOrEmpty(const rapidjson::Value& value) {
  if (value.IsString()) return std::string(value.GetString(), value.GetStringLength());
  if (value.IsBool()) return value.GetBool() ? "true" : "false";
  if (value.IsNumber()) return JsonToText(value);
  return "";
}

std::string MemberText(const rapidjson::Value& object, const char* name) {
  if (!object.IsObject()) return "";
  auto it = object.FindMember(name);
  return it == object.MemberEnd() ? std::string() : JsonTextOrEmpty(it->value);
}

std::string JsonToText(const rapidjson::Value& value) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

std::string MoneyToken(double amount) {
  if (!std::isfinite(amount)) amount = 0;
  char digits[512];
  const auto result = std::to_chars(digits, digits + sizeof digits, amount, std::chars_format::fixed, 2);
  std::string token(digits, result.ptr);
  if (token.size() < 6) token.insert(0, 6 - token.size(), ' ');
  return token;
}

namespace {

// A writer that writes doubles as money tokens; Value::Accept calls the
// hiding Double() because it is templated on the handler type.
class TRequestWriter : public rapidjson::Writer<rapidjson::StringBuffer> {
 public:
  using Writer::Writer;
  bool Double(double d) {
    const std::string token = MoneyToken(d);
    return RawValue(token.c_str(), token.size(), rapidjson::kNumberType);
  }
};

}  // namespace

std::string RequestJsonText(const rapidjson::Value& value) {
  rapidjson::StringBuffer buffer;
  TRequestWriter writer(buffer);
  value.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace ooa
