// The receipt's reader (see ReceiptRows.h): its queries, and the rows into
// the receipt record.
#include "db/receipt/ReceiptRows.h"

#include <utility>

#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"

namespace ooa {

namespace {

// Runs sqlCmd on the module's connection and takes its rows (a database
// error goes to the caller).
TRecordSet Rows(TDatabaseModule& db, const std::string& sqlCmd) {
  TRecordSet rows = db.SelectRows(sqlCmd);
  rows.First();
  return rows;
}

std::string Text(const TRecordSet& q, const char* column) { return Utf8ToAnsi(q.FieldByName(column).AsString()); }
double Float(const TRecordSet& q, const char* column) { return q.FieldByName(column).AsFloat(); }
bool Flag(const TRecordSet& q, const char* column) { return q.FieldByName(column).AsBoolean(); }

// The lines of the invoice and of its credit notes.
std::string ItemQuerySql(const std::string& invoiceNo, bool consolidateItems) {
  const std::string no = SqlTextLiteral(invoiceNo);
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
         (consolidateItems ? " Order By Description" : " Order By InvoiceItem.ID");
}

// What the credit notes of the invoice took back, added to the head.
void AddCreditNotes(TDatabaseModule& db, const std::string& invoiceNo, TReceiptHead& head) {
  const TRecordSet q = Rows(
      db,
      "Select SUM(Freight) As Freight, SUM(OtherCharge) As OtherCharge, SUM(RedeemPointsAsDollar) As "
      "RedeemPointsAsDollar, SUM(DollarDiscount) As DollarDiscount, SUM(VoucherAmount) As VoucherAmount, "
      "SUM(VoucherDiscount) As VoucherDiscount From InvoiceHead Where InvoiceHead.ReferenceNo=" +
          SqlTextLiteral(invoiceNo) + " and KindFlag=" + "5");
  if (q.RecordCount() == 0) return;
  head.Freight += Float(q, "Freight");
  head.OtherCharge += Float(q, "OtherCharge");
  head.RedeemPointsAsDollar += Float(q, "RedeemPointsAsDollar");
  head.DollarDiscount += Float(q, "DollarDiscount");
  head.VoucherAmount += Float(q, "VoucherAmount");
}

std::vector<TReceiptLine> ReadLines(TDatabaseModule& db, const std::string& invoiceNo, bool consolidateItems) {
  TRecordSet q = Rows(db, ItemQuerySql(invoiceNo, consolidateItems));
  std::vector<TReceiptLine> lines;
  lines.reserve(static_cast<size_t>(q.RecordCount()));
  for (q.First(); !q.Eof(); q.Next()) {
    TReceiptLine& l = lines.emplace_back();
    l.ProductCode = Text(q, "ProductCode");
    l.Description = Text(q, "Description");
    l.Description1 = Text(q, "Description1");
    l.Description2 = Text(q, "Description2");
    l.Description3 = Text(q, "Description3");
    l.SubDescription = Text(q, "SubDescription");
    l.SubDescription1 = Text(q, "SubDescription1");
    l.SubDescription2 = Text(q, "SubDescription2");
    l.SubDescription3 = Text(q, "SubDescription3");
    l.SubDescription4 = Text(q, "SubDescription4");
    l.SubDescription5 = Text(q, "SubDescription5");
    l.Barcode = Text(q, "Barcode");
    l.Barcode1 = Text(q, "Barcode1");
    l.Barcode2 = Text(q, "Barcode2");
    l.Barcode3 = Text(q, "Barcode3");
    l.Barcode4 = Text(q, "Barcode4");
    l.Barcode5 = Text(q, "Barcode5");
    l.Location = Text(q, "Location");
    l.DiscountItemCode = Text(q, "DiscountItemCode");
    l.DiscountDescription = Text(q, "DiscountDescription");
    l.Qty = Float(q, "Qty");
    l.Price = Float(q, "Price");
    l.DiscountRate = Float(q, "DiscountRate");
    l.GSTRate = Float(q, "GSTRate");
    l.OriginalPrice = Float(q, "OriginalPrice");
    l.TareWeight = Float(q, "TareWeight");
    l.PriceKind = q.FieldByName("PriceKind").AsInteger();
    l.Scalable = Flag(q, "Scalable");
    l.ManuallyEnterWeight = Flag(q, "ManuallyEnterWeight");
    l.IsMixMatchDiscountItem = Flag(q, "IsMixMatchDiscountItem");
    l.IsRewardItem = Flag(q, "IsRewardItem");
  }
  return lines;
}

// The company details from Profile, read afresh for every receipt.
TReceiptCompany ReadCompany(TDatabaseModule& db) {
  const std::optional<TRecordSet> rows = db.SelectCompanyRows();
  if (!rows) throw TDbError("The company details cannot be read from Profile");
  const TRecordSet& company = *rows;
  // A Profile without rows only leaves the details empty.
  auto column = [&](const char* name) {
    return company.RecordCount() > 0 ? Utf8ToAnsi(company.Field(0, name).AsString()) : std::string();
  };
  TReceiptCompany c;
  c.CompanyName = column("CompanyName");
  c.ABN = column("ABN");
  c.Telephone = column("Telephone");
  c.Fax = column("Fax");
  c.Address = column("Address");
  return c;
}

std::vector<TReceiptPayment> ReadPayments(TDatabaseModule& db, const std::string& invoiceNo) {
  TRecordSet q = Rows(db,
                      "Select RecvAcct.*, Payment.LinkToDevice From RecvAcct Left Join Payment On Payment.Payment = "
                      "RecvAcct.PayBy Where RecvAcct.PayBy<>'ROUNDING' and InvoiceNo=" +
                          SqlTextLiteral(invoiceNo) + " Order By IDNo");
  std::vector<TReceiptPayment> payments;
  for (q.First(); !q.Eof(); q.Next()) {
    TReceiptPayment& p = payments.emplace_back();
    p.PayBy = Text(q, "PayBy");
    p.Notes = Text(q, "Notes");
    p.EFTPOSNote = Text(q, "EFTPOSNote");
    p.GiftCardCode = Text(q, "GiftCardCode");
    p.PaidAmount = Float(q, "PaidAmount");
    p.GiftCardBalance = Float(q, "GiftCardBalance");
    p.LinkToDevice = q.FieldByName("LinkToDevice").AsInteger();
  }
  return payments;
}

}  // namespace

std::optional<TReceiptHead> ReadReceiptHead(TDatabaseModule& db, const std::string& invoiceNo) {
  const TRecordSet q = Rows(
      db,
      "Select InvoiceHead.Notes, InvoiceHead.GSTStatus, ExemptTax, Freight, FreightGSTRate, OtherCharge, "
      "OtherChargeGSTRate, RedeemPointsAsDollar, RedeemPointsGSTRate, DollarDiscount, VoucherAmount, "
      "InvoiceHead.DiscountKind, InvoiceDate, OtherChargeDescription, MachineID, OpName, InvoiceHead.InvoiceNo, "
      "Printed, TransferDateTime, Rounding, InvoiceHead.CustomerCode, CustomerName, CurrentPoints, OnlineOrder, "
      "OnlineOrderId, Delivery, InvoiceHead.DeliveryAddress From Customer, InvoiceHead Left Join (Select "
      "InvoiceNo, Sum(PaidAmount) As Rounding From RecvAcct Where PayBy=" +
          SqlTextLiteral("ROUNDING") +
          " Group By InvoiceNo) As PaymentTable On InvoiceHead.InvoiceNo=PaymentTable.InvoiceNo " +
          "Where InvoiceHead.CustomerCode=Customer.CustomerCode and InvoiceHead.InvoiceNo=" +
          SqlTextLiteral(invoiceNo) + " and KindFlag=" + "6");
  if (q.RecordCount() == 0) return std::nullopt;
  TReceiptHead h;
  h.Notes = Text(q, "Notes");
  h.GSTStatus = Flag(q, "GSTStatus");
  h.ExemptTax = Flag(q, "ExemptTax");
  h.Freight = Float(q, "Freight");
  h.FreightGSTRate = Float(q, "FreightGSTRate");
  h.OtherCharge = Float(q, "OtherCharge");
  h.OtherChargeGSTRate = Float(q, "OtherChargeGSTRate");
  h.RedeemPointsAsDollar = Float(q, "RedeemPointsAsDollar");
  h.RedeemPointsGSTRate = Float(q, "RedeemPointsGSTRate");
  h.DollarDiscount = Float(q, "DollarDiscount");
  h.VoucherAmount = Float(q, "VoucherAmount");
  h.OtherChargeDescription = Text(q, "OtherChargeDescription");
  h.CustomerCode = Text(q, "CustomerCode");
  h.CustomerName = Text(q, "CustomerName");
  h.InvoiceDate = q.FieldByName("InvoiceDate").AsDateTime();
  h.TransferDateTime = q.FieldByName("TransferDateTime").AsDateTime();
  h.Printed = Flag(q, "Printed");
  h.Rounding = Float(q, "Rounding");
  h.OpName = Text(q, "OpName");
  h.MachineID = Text(q, "MachineID");
  h.OnlineOrder = Flag(q, "OnlineOrder");
  h.OnlineOrderId = Text(q, "OnlineOrderId");
  h.Delivery = Flag(q, "Delivery");
  h.DeliveryAddress = Text(q, "DeliveryAddress");
  return h;
}

TReceipt ReadReceiptRest(TDatabaseModule& db, const std::string& invoiceNo, TReceiptHead head,
                         bool consolidateItems) {
  TReceipt r;
  r.InvoiceNo = invoiceNo;
  r.Head = std::move(head);
  AddCreditNotes(db, invoiceNo, r.Head);
  r.Lines = ReadLines(db, invoiceNo, consolidateItems);
  r.Company = ReadCompany(db);
  r.Payments = ReadPayments(db, invoiceNo);
  return r;
}

std::optional<TReceipt> ReadReceipt(TDatabaseModule& db, const std::string& invoiceNo, bool consolidateItems) {
  std::optional<TReceiptHead> head = ReadReceiptHead(db, invoiceNo);
  if (!head) return std::nullopt;
  return ReadReceiptRest(db, invoiceNo, std::move(*head), consolidateItems);
}

}  // namespace ooa
