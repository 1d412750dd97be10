// The invariants and end-state checks of the reliability suite (see EndState.h).
#include "EndState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <set>

#include "ReliabilityReport.h"
#include "ReliabilityWorld.h"

namespace ooa::test {
namespace {

bool IsCreditNo(const std::string& no) { return no.rfind("CN", 0) == 0; }
bool Empty(const std::string& v) { return v.empty() || v == "NULL"; }
double Num(const std::string& v) { return Empty(v) ? 0 : std::stod(v); }
bool Importable(const std::string& status) {
  return status == "processing" || status == "completed" || status == "refunded";
}

// The POS rows the checks read, read once.
struct TPosView {
  struct THead {
    std::string OrderId, Reference;
  };
  std::map<std::string, THead> Heads;                          // by InvoiceNo
  std::map<std::string, std::vector<std::string>> ByOrderId;   // OnlineOrderId -> InvoiceNos
  std::map<std::string, std::map<std::string, std::pair<double, double>>> Lines;  // InvoiceNo -> code -> (qty, units)
  std::map<std::string, int> LineCount, PaymentCount;          // by InvoiceNo
  std::string LastSync;                                        // "yyyy-mm-dd hh:mm:ss" or ""

  explicit TPosView(const TReliabilityWorld& world) {
    TRows heads = world.Query("Select InvoiceNo, OnlineOrderId, ReferenceNo From InvoiceHead");
    for (const auto& r : heads.Values) {
      Heads[r[0]] = {Empty(r[1]) ? "" : r[1], Empty(r[2]) ? "" : r[2]};
      if (!Empty(r[1])) ByOrderId[r[1]].push_back(r[0]);
    }
    TRows items = world.Query("Select InvoiceNo, ProductCode, Qty, DeductStockQty From InvoiceItem");
    for (const auto& r : items.Values) {
      ++LineCount[r[0]];
      auto& sum = Lines[r[0]][r[1]];
      sum.first += Num(r[2]);
      sum.second += Num(r[2]) * Num(r[3]);
    }
    for (const auto& r : world.Query("Select InvoiceNo From RecvAcct").Values) ++PaymentCount[r[0]];
    TRows sync = world.Query("Select LastSyncAt From OnlineSyncLog Where Event = N'orders'");
    if (!sync.Values.empty() && !Empty(sync.Values[0][0])) LastSync = sync.Values[0][0].substr(0, 19);
  }
};

// "yyyy-mm-ddThh:mm:ss" as the POS prints date-times.
std::string ShopTime(const rapidjson::Value& order, const char* name) {
  auto m = order.FindMember(name);
  if (m == order.MemberEnd() || !m->value.IsString()) return "";
  std::string t = m->value.GetString();
  if (t.size() > 10) t[10] = ' ';
  return t.substr(0, 19);
}

std::string Text(const rapidjson::Value& v, const char* name) {
  auto m = v.FindMember(name);
  if (m == v.MemberEnd()) return "";
  if (m->value.IsString()) return m->value.GetString();
  if (m->value.IsInt64()) return std::to_string(m->value.GetInt64());
  return "";
}

std::vector<std::string> Problems(const TReliabilityWorld& world, const TPosView& pos,
                                  const rapidjson::Document& shop) {
  std::vector<std::string> problems;
  auto add = [&](const std::string& p) { problems.push_back(p); };
  for (const auto& [no, head] : pos.Heads) {
    if (!pos.LineCount.count(no)) add("head " + no + " has no lines");
    if (!IsCreditNo(no) && !pos.PaymentCount.count(no)) add("invoice " + no + " has no payment row");
  }
  for (const auto& [no, n] : pos.LineCount)
    if (!pos.Heads.count(no)) add("lines of " + no + " without a head");
  for (const auto& [no, n] : pos.PaymentCount)
    if (!pos.Heads.count(no)) add("payments of " + no + " without a head");
  for (const auto& [id, nos] : pos.ByOrderId)
    if (nos.size() > 1) add("shop id " + id + " written " + std::to_string(nos.size()) + " times");
  // Every credit note credits an invoice, never another credit note.
  for (const auto& [no, head] : pos.Heads)
    if (IsCreditNo(no) && (head.Reference.empty() || IsCreditNo(head.Reference) || !pos.Heads.count(head.Reference)))
      add("credit note " + no + " references " + (head.Reference.empty() ? "nothing" : head.Reference) +
          ", not an invoice");

  // Every invoice holds its order's lines: quantities and stock units per product.
  std::map<std::string, const TGenOrder*> generated;
  for (const TGenOrder& o : world.Orders) generated[std::to_string(o.Id)] = &o;
  std::map<std::string, const TGenProduct*> products;
  for (const TGenProduct& p : world.Products) products[p.Code] = &p;
  for (const auto& [id, nos] : pos.ByOrderId) {
    auto g = generated.find(id);
    if (g == generated.end() || IsCreditNo(nos[0])) continue;
    std::map<std::string, std::pair<double, double>> want;
    for (const TGenLine& l : g->second->Lines) {
      want[l.Code].first += l.Qty;
      want[l.Code].second += l.Qty * products[l.Code]->Deduct[l.Level - 1];
    }
    std::map<std::string, std::pair<double, double>> got;
    for (const auto& [code, sum] : pos.Lines.count(nos[0]) ? pos.Lines.at(nos[0]) : got)
      if (products.count(code)) got[code] = sum;
    if (got != want) add("invoice " + nos[0] + " of order " + id + " does not hold the order's lines");
  }

  // The sync log never stands past an order that is not written, nor past a
  // refund or cancellation not booked: the next pass asks only for orders
  // modified after it.
  if (!pos.LastSync.empty()) {
    std::map<std::string, std::vector<std::string>> refundsOf;
    for (const auto& entry : shop["refunds"].GetArray())
      refundsOf[Text(entry, "order_id")].push_back(Text(entry["refund"], "id"));
    for (const auto& order : shop["orders"].GetArray()) {
      const std::string id = Text(order, "id"), status = Text(order, "status");
      const std::string modified = ShopTime(order, "date_modified_gmt");
      if (modified.empty() || modified > pos.LastSync) continue;
      const std::string past = "sync log at " + pos.LastSync + " is past order " + id + " (modified " + modified + ")";
      auto invoice = pos.ByOrderId.find(id);
      if (Importable(status) && invoice == pos.ByOrderId.end()) add(past + " that is not written");
      if (invoice == pos.ByOrderId.end()) continue;
      for (const std::string& refund : refundsOf[id])
        if (!pos.ByOrderId.count(refund)) add(past + " whose refund " + refund + " is not booked");
      if (status == "cancelled") {
        bool credited = false;
        for (const auto& [no, head] : pos.Heads)
          credited = credited || (IsCreditNo(no) && head.OrderId.empty() && head.Reference == invoice->second[0]);
        if (!credited) add(past + " whose cancellation is not booked");
      }
    }
  }
  return problems;
}

void Record(const std::string& section, const std::string& name, const std::vector<std::string>& problems) {
  std::string all;
  for (size_t i = 0; i < problems.size() && i < 20; ++i) all += "\n  " + problems[i];
  if (problems.size() > 20) all += "\n  ... and " + std::to_string(problems.size() - 20) + " more";
  Report().Check(section, name, problems.empty() ? "passed" : "FAILED (" + std::to_string(problems.size()) + ")");
  EXPECT_TRUE(problems.empty()) << name << ":" << all;
}

void Skip(const std::string& section, const std::string& name, const std::string& why) {
  Report().Check(section, name, "skipped: " + why);
  std::cout << "[  SKIPPED ] check " << name << ": " << why << std::endl;
}

}  // namespace

std::vector<std::string> InvariantProblems(const TReliabilityWorld& world) {
  rapidjson::Document shop = world.ShopState();
  TPosView pos(world);
  return Problems(world, pos, shop);
}

void CheckEndState(const TReliabilityWorld& world, const std::string& section) {
  rapidjson::Document shop = world.ShopState();
  TPosView pos(world);
  Record(section, "no half invoice, nothing written twice, lines as ordered, sync log behind all not yet written",
         Problems(world, pos, shop));

  // Every order the shop lists for import is written.
  std::vector<std::string> missing;
  int importable = 0;
  for (const auto& order : shop["orders"].GetArray()) {
    if (!Importable(Text(order, "status"))) continue;
    ++importable;
    // An invoice, not a credit note that happens to carry the same id.
    auto found = pos.ByOrderId.find(Text(order, "id"));
    if (found == pos.ByOrderId.end())
      missing.push_back("order " + Text(order, "id") + " not written");
    else if (IsCreditNo(found->second[0]))
      missing.push_back("order " + Text(order, "id") + " has only the credit note " + found->second[0]);
  }
  Report().Add(section, "orders the shop lists for import", importable);
  int64_t invoices = 0;
  for (const auto& [no, head] : pos.Heads) invoices += !IsCreditNo(no);
  Report().Add(section, "invoices written", invoices);
  Record(section, "every order written exactly once", missing);

  // Stock: the start minus every line (credit lines carry negative quantities).
  std::vector<std::string> stock;
  std::map<std::string, double> moved;
  for (const auto& [no, lines] : pos.Lines)
    for (const auto& [code, sum] : lines) moved[code] += sum.second;
  for (const auto& r : world.Query("Select ProductCode, StockQty1 From Product Where ProductCode Like N'R%'").Values) {
    auto start = world.StartStock.find(r[0]);
    if (start == world.StartStock.end()) continue;
    const double want = start->second - moved[r[0]];
    if (std::fabs(Num(r[1]) - want) > 1e-6)
      stock.push_back(r[0] + ": stock " + r[1] + ", start minus lines plus credits is " + std::to_string(want));
  }
  Record(section, "stock columns = start - lines + credits", stock);

  // Refunds and cancellations, once each. A build without one of the two
  // imports writes no credit note of that kind at all.
  int refundNotes = 0, cancelNotes = 0;
  for (const auto& [no, head] : pos.Heads)
    if (IsCreditNo(no)) ++(head.OrderId.empty() ? cancelNotes : refundNotes);
  Report().Add(section, "refund credit notes written", refundNotes);
  Report().Add(section, "cancellation credit notes written", cancelNotes);
  const auto& refunds = shop["refunds"].GetArray();
  if (refundNotes == 0 && refunds.Size() > 0) {
    Skip(section, "every refund booked exactly once", "this build books no refund credit notes yet (refund import missing)");
  } else {
    std::vector<std::string> refundProblems;
    for (const auto& entry : refunds) {
      const std::string id = Text(entry["refund"], "id");
      auto found = pos.ByOrderId.find(id);
      const size_t n = found == pos.ByOrderId.end() ? 0 : found->second.size();
      if (n != 1 || !IsCreditNo(found->second[0]))
        refundProblems.push_back("refund " + id + " booked " + std::to_string(n) + " times");
    }
    Record(section, "every refund booked exactly once", refundProblems);
  }
  if (cancelNotes == 0 && world.Cancellations > 0) {
    Skip(section, "every cancellation booked exactly once",
         "this build books no cancellation credit notes yet (cancellation import missing)");
  } else {
    std::vector<std::string> cancelProblems;
    for (const TGenOrder& o : world.Orders) {
      auto invoice = pos.ByOrderId.find(std::to_string(o.Id));
      if (invoice == pos.ByOrderId.end()) continue;
      int notes = 0;
      for (const auto& [no, head] : pos.Heads)
        notes += IsCreditNo(no) && head.OrderId.empty() && head.Reference == invoice->second[0];
      if (notes != (o.Cancelled ? 1 : 0))
        cancelProblems.push_back("order " + std::to_string(o.Id) + (o.Cancelled ? " (cancelled)" : "") + " has " +
                                 std::to_string(notes) + " cancellation credit notes");
    }
    Record(section, "every cancellation booked exactly once", cancelProblems);
  }

  // Categories: every category sold online is in the shop under its id and name.
  std::map<int64_t, const rapidjson::Value*> shopCategories;
  for (const auto& c : shop["categories"].GetArray()) shopCategories[c["id"].GetInt64()] = &c;
  std::vector<std::string> categoryProblems;
  for (const auto& r : world.Query("Select Category, Description, WooID From Category Where OnlineSales = 1").Values) {
    if (Empty(r[2])) {
      categoryProblems.push_back("category " + r[0] + " has no shop id");
      continue;
    }
    auto c = shopCategories.find(static_cast<int64_t>(Num(r[2])));
    if (c == shopCategories.end())
      categoryProblems.push_back("category " + r[0] + ": shop id " + r[2] + " is not in the shop");
    else if (Text(*c->second, "name") != r[1])
      categoryProblems.push_back("category " + r[0] + ": shop name '" + Text(*c->second, "name") + "', POS '" +
                                 r[1] + "'");
  }
  Record(section, "shop categories = POS categories", categoryProblems);

  // Products, their variations and stock.
  const auto& shopProducts = shop["products"].GetArray();
  if (shopProducts.Size() == 0) {
    Skip(section, "shop products, variations and stock = POS catalogue",
         "this build uploads no products yet (product, variation and stock upload missing)");
    return;
  }
  std::map<int64_t, const rapidjson::Value*> byId;
  for (const auto& p : shopProducts) byId[p["id"].GetInt64()] = &p;
  std::map<int64_t, int> variationsOf;
  std::map<int64_t, std::vector<const rapidjson::Value*>> variationList;
  for (const auto& v : shop["variations"].GetArray()) {
    ++variationsOf[std::stoll(Text(v, "parent_id"))];
    variationList[std::stoll(Text(v, "parent_id"))].push_back(&v);
  }
  std::map<std::string, std::string> wooIds, varIds;
  for (const auto& r :
       world.Query("Select ProductCode, WooID, WooVarID1, WooVarID2, WooVarID3 From ProductExtend "
                   "Where ProductCode Like N'R%'").Values) {
    wooIds[r[0]] = r[1];
    varIds[r[0]] = " (POS variation ids " + r[2] + ", " + r[3] + ", " + r[4] + ")";
  }
  std::vector<std::string> productProblems;
  TRows rows = world.Query("Select ProductCode, Description, StockQty1 From Product Where ProductCode Like N'R%'");
  std::map<std::string, const TGenProduct*> generated;
  for (const TGenProduct& p : world.Products) generated[p.Code] = &p;
  for (const auto& r : rows.Values) {
    const TGenProduct* g = generated[r[0]];
    if (!g) continue;
    const std::string& woo = wooIds[r[0]];
    if (Empty(woo)) {
      productProblems.push_back("product " + r[0] + " has no shop id");
      continue;
    }
    auto p = byId.find(static_cast<int64_t>(Num(woo)));
    if (p == byId.end()) {
      productProblems.push_back("product " + r[0] + ": shop id " + woo + " is not in the shop");
      continue;
    }
    const rapidjson::Value& sp = *p->second;
    if (Text(sp, "name") != r[1])
      productProblems.push_back("product " + r[0] + ": shop name '" + Text(sp, "name") + "', POS '" + r[1] + "'");
    if (g->Levels == 1) {
      if (Text(sp, "sku") != r[0]) productProblems.push_back("product " + r[0] + ": shop SKU '" + Text(sp, "sku") + "'");
      auto q = sp.FindMember("stock_quantity");
      if (q != sp.MemberEnd() && q->value.IsNumber() && std::fabs(q->value.GetDouble() - std::floor(Num(r[2]))) > 0.5)
        productProblems.push_back("product " + r[0] + ": shop stock " + std::to_string(q->value.GetDouble()) +
                                  ", POS " + r[2]);
    } else if (variationsOf[p->first] != g->Levels) {
      productProblems.push_back("product " + r[0] + ": " + std::to_string(variationsOf[p->first]) +
                                " variations in the shop, " + std::to_string(g->Levels) + " price levels" +
                                varIds[r[0]]);
    } else {
      // A variation's stock is the product's stock in units of its level.
      for (const rapidjson::Value* v : variationList[p->first]) {
        const std::string sku = Text(*v, "sku");
        const size_t pk = sku.rfind("-PK");
        auto q = v->FindMember("stock_quantity");
        if (pk == std::string::npos || q == v->MemberEnd() || !q->value.IsNumber()) continue;
        const int level = std::atoi(sku.c_str() + pk + 3);
        if (level < 1 || level > g->Levels) continue;
        const double want = std::floor(std::max(0.0, Num(r[2])) / g->Deduct[level - 1]);
        if (std::fabs(q->value.GetDouble() - want) > 0.5)
          productProblems.push_back("variation " + sku + ": shop stock " + std::to_string(q->value.GetDouble()) +
                                    ", POS " + std::to_string(want) + varIds[r[0]]);
      }
    }
  }
  Record(section, "shop products, variations and stock = POS catalogue", productProblems);
}

}  // namespace ooa::test
