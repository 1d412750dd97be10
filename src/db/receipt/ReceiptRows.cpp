// TPrintBillForm: reading the invoice lines into the item buffer.
#include <utility>

#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"
#include "print/ReceiptSettings.h"
#include "print/receipt/PrintBillForm.h"

namespace ooa {

TPrintBillForm::TPrintBillForm(TDatabaseModule& db)
    : Db(db), Options(ReceiptSettings()), PrinterConfig(ConfigSnapshot()) {}

void TPrintBillForm::OpenQuery(const std::string& sqlCmd) {
  CloseQuery();
  Db.OpenQuery(sqlCmd);  // a database error goes to the caller
  Query = std::move(Db.Query());
  Query.First();
}

void TPrintBillForm::CloseQuery() { Query = TRecordSet(); }

void TPrintBillForm::InitBuff() { Buff.assign(kInitialEntries, BuffType{}); }

std::string TPrintBillForm::ItemQuerySql() const {
  const std::string no = SqlTextLiteral(InvoiceNo);
  return std::string(
             "Select InvoiceItem.ProductCode, Description, Description1, Description2, Description3, Qty, Price, "
             "Discount As DiscountRate, InvoiceItem.GSTRate, ManuallyEnterWeight, SubDescription, SubDescription1, "
             "SubDescription2, SubDescription3, SubDescription4, SubDescription5, PriceKind, Scalable, TareWeight, "
             "OriginalPrice, IsMixMatchDiscountItem, DiscountItemCode, DiscountDescription, Barcode, Barcode1, "
             "Barcode2, Barcode3, Barcode4, Barcode5, Location, IsRewardItem From Product, InvoiceItem Left Join "
             "ProductFamily On InvoiceItem.ProductFamilyCode=ProductFamily.FamilyCode Where "
             "Product.ProductCode=InvoiceItem.ProductCode And (InvoiceNo=") +
         no + " Or InvoiceNo IN " + "(SELECT InvoiceNo From InvoiceHead Where KindFlag = " + "5" +
         " And ReferenceNo=" + no + "))" + " And Qty <> 0 And (KindFlag=" + "6" + " Or KindFlag=" + "5" + ")" +
         (Options.ConsolidateItemsOnReceipt ? " Order By Description" : " Order By InvoiceItem.ID");
}

namespace {

std::string Text(const TRecordSet& q, const char* column) { return Utf8ToAnsi(q.FieldByName(column).AsString()); }
double Float(const TRecordSet& q, const char* column) { return q.FieldByName(column).AsFloat(); }
bool Flag(const TRecordSet& q, const char* column) { return q.FieldByName(column).AsBoolean(); }

// The translated description, or the main one standing in when it is empty
// and the main description is not printed as a line of its own.
std::string TranslatedOrMain(const std::string& translated, const std::string& main, bool printMain) {
  if (!translated.empty()) return translated;
  if (!printMain && !main.empty()) return main;
  return {};
}

}  // namespace

void TPrintBillForm::PostDataToBuff() {
  const TReceiptSettings& settings = Options;
  const TRecordSet& q = Query;
  const size_t rows = static_cast<size_t>(q.RecordCount());
  ItemCount = 0;
  // An empty result still fills the first entry, from nothing: an entry of
  // initial values that prints as a line of quantity 0.
  auto fill = [&](BuffType& e) {
    if (q.Eof()) {
      e.NeedPrint = true;
      return;
    }
    e.Qty = Float(q, "Qty");
    e.Price = Float(q, "Price");
    e.GSTRate = Float(q, "GSTRate");
    e.ProductCode = Text(q, "ProductCode");
    e.IsMixMatchDiscountItem = Flag(q, "IsMixMatchDiscountItem");
    e.IsRewardItem = Flag(q, "IsRewardItem");
    if (e.IsMixMatchDiscountItem && e.ProductCode == Text(q, "DiscountItemCode")) {
      e.Description1 = Text(q, "DiscountDescription");
    } else {
      const std::string main = Text(q, "Description");
      const bool p1 = settings.PrintDescription1;
      if (p1) e.Description1 = main;
      if (settings.PrintDescription2) e.Description2 = TranslatedOrMain(Text(q, "Description1"), main, p1);
      if (settings.PrintDescription3) e.Description3 = TranslatedOrMain(Text(q, "Description2"), main, p1);
      if (settings.PrintDescription4) e.Description4 = TranslatedOrMain(Text(q, "Description3"), main, p1);
      e.SubDescription1 = Text(q, "SubDescription");
      e.SubDescription2 = Text(q, "SubDescription1");
      e.SubDescription3 = Text(q, "SubDescription2");
      e.SubDescription4 = Text(q, "SubDescription3");
      e.SubDescription5 = Text(q, "SubDescription4");
      e.SubDescription6 = Text(q, "SubDescription5");
      e.Barcode = Text(q, "Barcode");
      e.Barcode1 = Text(q, "Barcode1");
      e.Barcode2 = Text(q, "Barcode2");
      e.Barcode3 = Text(q, "Barcode3");
      e.Barcode4 = Text(q, "Barcode4");
      e.Barcode5 = Text(q, "Barcode5");
      e.Location = Text(q, "Location");
      e.DiscountRate = Float(q, "DiscountRate");
      e.OriginalPrice = Float(q, "OriginalPrice");
      e.PriceKind = static_cast<int>(q.FieldByName("PriceKind").AsInteger());
      e.Scalable = Flag(q, "Scalable");
      e.TareWeight = Float(q, "TareWeight");
      e.ManuallyEnterWeight = Flag(q, "ManuallyEnterWeight");
    }
    ItemCount += Flag(q, "Scalable") ? 1 : e.Qty;
    e.NeedPrint = true;
  };
  auto entry = [&](size_t k) -> BuffType& {
    if (k >= Buff.size()) Buff.resize(k + 1);  // more items than the initial entries
    return Buff[k];
  };

  Query.First();
  size_t last = 0;
  fill(entry(last));
  for (Query.Next(); !Query.Eof(); Query.Next()) {
    BuffType& k = Buff[last];
    const bool matches = Text(q, "Description") == k.Description1 && Float(q, "Price") == k.Price &&
                         Float(q, "GSTRate") == k.GSTRate && Float(q, "DiscountRate") == k.DiscountRate &&
                         Float(q, "OriginalPrice") == k.OriginalPrice &&
                         q.FieldByName("PriceKind").AsInteger() == k.PriceKind;
    if (settings.ConsolidateItemsOnReceipt && !k.IsMixMatchDiscountItem && matches) {
      k.Qty += Float(q, "Qty");
    } else {
      ++last;
      fill(entry(last));
    }
  }

  const int first = settings.PrintFirstDescription;
  if (first >= 1 && first <= 3 && rows > 0) {
    for (size_t i = 0; i < rows && i < Buff.size(); ++i) {
      BuffType& e = Buff[i];
      if (e.IsMixMatchDiscountItem) continue;
      std::string& other = first == 1 ? e.Description2 : first == 2 ? e.Description3 : e.Description4;
      if (!other.empty()) std::swap(e.Description1, other);
    }
  }
}

}  // namespace ooa
