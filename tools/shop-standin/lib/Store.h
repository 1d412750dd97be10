// TStore: the stand-in shop's whole state in memory: product categories, products,
// variations, orders and refunds, the id counters and the shop clock. Every member
// is guarded by Mutex; a route handler locks it for the whole request, so batches
// and admin edits are atomic. The server object owns the one store.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

#include "StandinJson.h"

namespace ooa::standin {

struct TOrderRecord {
  TJson Json;             // the order as the shop answers it
  int64_t Modified = 0;   // modification time (UTC seconds); what modified_after compares
  int64_t Created = 0;
  bool Raw = false;       // stored exactly as seeded, without completion
};

struct TRefundRecord {
  TJson Json;
  int64_t OrderId = 0;
  int64_t Created = 0;  // what the refund list's date filters compare
};

class TStore {
 public:
  std::mutex Mutex;

  std::map<int64_t, TJson> Categories;  // term ids
  std::map<int64_t, TJson> Products;    // post ids (products, variations, orders and refunds share them)
  std::map<int64_t, TJson> Variations;  // each carries "parent_id"
  std::map<int64_t, TOrderRecord> Orders;
  std::map<int64_t, TRefundRecord> Refunds;

  int64_t NextTermId = 15;
  int64_t NextPostId = 100;
  int64_t NextMetaId = 1000;
  int64_t NextItemId = 1;

  // The shop clock: real time, or frozen at a set time (admin "clock").
  std::optional<int64_t> FrozenNow;
  int64_t Now() const;

  void Clear();

  // The whole state as JSON text (admin "state" and the state file).
  std::string StateText() const;
  // Replaces the state with one written by StateText; false and a message on bad input
  // (the state is then left as it was).
  bool LoadState(const std::string& text, std::string& error);

  // The id of the product or variation holding sku (exact match), or 0;
  // products before variations, lower ids first.
  int64_t FindSku(const std::string& sku, int64_t except = 0) const;
  // The SKU index FindSku reads: every place that stores, changes or removes a
  // product or variation tells it the SKU it gave or took away.
  void IndexSku(const std::string& sku, int64_t id, bool variation, bool add);
  void RebuildSkuIndex();
  int64_t TakePostId() { return NextPostId++; }
  std::unordered_map<std::string, std::set<int64_t>> ProductSkus, VariationSkus;
  // Gives every element of a meta_data array an "id" when it has none.
  void NumberMeta(TValue& metaArray, TAlloc& alloc);
};

}  // namespace ooa::standin
