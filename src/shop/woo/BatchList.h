// TBatchList: the batch objects of one catalogue upload, built from the rows
// of a catalogue query (GetCategories, GetProducts, ... of
// sync/catalog/CatalogueBatches.h) and sent one by one by
// sync/catalog/BatchUpload.h.
//
// A batch object is a JSON object with up to three arrays, always in the order
// "create" (new shop objects), "update" (objects carrying their shop "id") and
// "delete" (shop ids as JSON strings); an array is present only when it holds
// entries, so a batch without entries is the text "{}".
//
// Building: for every row call BeginRow(), then add the row's entries with
// AddCreate / AddUpdate / AddDelete; after the last row call Finish(). A batch
// is closed at the start of a row once it holds 30 or more entries, so a row's
// entries never straddle two batches and every batch but the last holds at
// least 30. Finish() always appends the last batch, even an empty one; a
// routine whose query found no rows calls neither and hands back the empty list.
//
// Entries are rapidjson values made with Allocator() (NewObject() and AddText()
// help); Add* turns them into their request text at once (RequestJsonText),
// so the list holds each batch as the finished JSON text it is sent as, not
// as a document: a catalogue of 50,000 products stays small. The values a row
// made are released at the start of a later row (BeginRow), so a value made
// with Allocator() must not be kept past its row. One thread builds and reads
// a list; it is handed over by value (movable).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <rapidjson/document.h>

namespace ooa {

using TJsonAllocator = rapidjson::Document::AllocatorType;

class TBatchList {
 public:
  // A batch is closed when a new row starts and it holds this many entries.
  static constexpr int kBatchCut = 30;

  TBatchList();
  TBatchList(TBatchList&&) noexcept;
  TBatchList& operator=(TBatchList&&) noexcept;
  ~TBatchList();

  // ---- Building --------------------------------------------------------------
  // Starts the next row: closes the current batch when it holds kBatchCut or
  // more entries.
  void BeginRow();
  // Append one entry of the current row (made with Allocator(); its text is
  // taken, the value is left as it was).
  void AddCreate(const rapidjson::Value& entry);
  void AddUpdate(const rapidjson::Value& entry);
  // A shop id to delete, sent as a JSON string.
  void AddDelete(const std::string& id);
  // Closes the current batch and appends it, even when it holds no entries.
  void Finish();

  // An empty JSON object for an entry.
  rapidjson::Value NewObject() const { return rapidjson::Value(rapidjson::kObjectType); }
  TJsonAllocator& Allocator() { return *Pool; }
  // Entries added to the current (not yet closed) batch.
  int CurrentEntryCount() const { return EntryCount; }

  // ---- Reading ---------------------------------------------------------------
  // Number of batch objects (the "total batches" an upload logs).
  std::size_t Count() const { return Texts.size(); }
  bool Empty() const { return Count() == 0; }
  // The JSON text of a batch object, as it is sent (RequestJsonText).
  const std::string& BatchJson(std::size_t index) const { return Texts[index]; }
  // The batch object parsed from its text.
  rapidjson::Document Batch(std::size_t index) const;

 private:
  void Add(int array, const std::string& text);
  void CloseBatch();

  static constexpr std::size_t kPoolKeep = 256 * 1024;

  std::unique_ptr<TJsonAllocator> Pool;  // the values of the rows being built
  std::vector<std::string> Texts;        // the closed batches
  std::string Arrays[3];                 // the current batch's "create", "update", "delete" entries, comma-separated
  int EntryCount = 0;
};

// Adds the member name: text (both copied) to a JSON object.
void AddText(rapidjson::Value& object, const char* name, const std::string& text, TJsonAllocator& alloc);

// The text of a JSON value whatever its type: a string as it is, a number as
// its digits (123 -> "123"), true/false as "true"/"false", anything else
// (null, objects, arrays) "". Never throws; the order import's strict reader
// is JsonText(object, key) of shop/woo/OrderJson.h.
std::string JsonTextOrEmpty(const rapidjson::Value& value);
// JsonTextOrEmpty of a member of an object; "" when the value is not an
// object or has no such member.
std::string MemberText(const rapidjson::Value& object, const char* name);
// The compact JSON text of any value.
std::string JsonToText(const rapidjson::Value& value);
// The compact JSON text of a request body. Entries hold money amounts (the
// "regular_price" of products and variations) as JSON doubles, and every
// double is written as a bare number token formatted "%6.2f": two decimals,
// right-aligned to six characters with leading blanks (5 -> "  5.00"), always
// with "." whatever the process locale. Integers and texts as JsonToText.
std::string RequestJsonText(const rapidjson::Value& value);
// The "%6.2f" token of one amount ("." as separator in any locale).
std::string MoneyToken(double amount);

}  // namespace ooa
