// TBatchList: cutting rows into batch objects, and the JSON text helpers the
// uploads share.
#include "db/catalog/BatchList.h"

#include <charconv>
#include <cmath>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace ooa {

TBatchList::TBatchList()
    : Doc(std::make_unique<rapidjson::Document>(rapidjson::kArrayType)),
      Create(rapidjson::kArrayType),
      Update(rapidjson::kArrayType),
      Delete(rapidjson::kArrayType) {}

TBatchList::TBatchList(TBatchList&&) noexcept = default;
TBatchList& TBatchList::operator=(TBatchList&&) noexcept = default;
TBatchList::~TBatchList() = default;

TJsonAllocator& TBatchList::Allocator() { return Doc->GetAllocator(); }

void TBatchList::BeginRow() {
  if (EntryCount >= kBatchCut) CloseBatch();
}

void TBatchList::AddCreate(rapidjson::Value& entry) {
  Create.PushBack(entry, Allocator());
  ++EntryCount;
}

void TBatchList::AddUpdate(rapidjson::Value& entry) {
  Update.PushBack(entry, Allocator());
  ++EntryCount;
}

void TBatchList::AddDelete(const std::string& id) {
  Delete.PushBack(rapidjson::Value(id, Allocator()), Allocator());
  ++EntryCount;
}

void TBatchList::Finish() { CloseBatch(); }

void TBatchList::CloseBatch() {
  auto& a = Allocator();
  rapidjson::Value batch(rapidjson::kObjectType);
  if (!Create.Empty()) batch.AddMember("create", Create, a);
  if (!Update.Empty()) batch.AddMember("update", Update, a);
  if (!Delete.Empty()) batch.AddMember("delete", Delete, a);
  Doc->PushBack(batch, a);
  Create.SetArray();
  Update.SetArray();
  Delete.SetArray();
  EntryCount = 0;
}

std::size_t TBatchList::Count() const { return Doc->Size(); }

const rapidjson::Value& TBatchList::Batch(std::size_t index) const { return (*Doc)[static_cast<rapidjson::SizeType>(index)]; }

std::string TBatchList::BatchJson(std::size_t index) const { return RequestJsonText(Batch(index)); }

void AddText(rapidjson::Value& object, const char* name, const std::string& text, TJsonAllocator& alloc) {
  object.AddMember(rapidjson::Value(name, alloc), rapidjson::Value(text, alloc), alloc);
}

std::string JsonText(const rapidjson::Value& value) {
  if (value.IsString()) return std::string(value.GetString(), value.GetStringLength());
  if (value.IsBool()) return value.GetBool() ? "true" : "false";
  if (value.IsNumber()) return JsonToText(value);
  return "";
}

std::string MemberText(const rapidjson::Value& object, const char* name) {
  if (!object.IsObject()) return "";
  auto it = object.FindMember(name);
  return it == object.MemberEnd() ? std::string() : JsonText(it->value);
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
