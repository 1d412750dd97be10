// Parsing of shop orders into the order document: the fixture order field by
// field, the failure messages, the values read without a guard, and the SKU
// and customer-code rules.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "config/Config.h"
#include "db/DatabaseModule.h"
#include "db/order/InvoiceWrite.h"
#include "db/order/InvoiceCalc.h"
#include "model/OrderMessages.h"
#include "shop/woo/OrderJson.h"
#include "shop/woo/OrderParsing.h"
#include "shop/woo/OrderSku.h"
#include "shop/woo/RefundParsing.h"
#include "sync/OrderImport.h"
#include "sync/orders/OrderFixture.h"
#include "support/FixedClock.h"

namespace ooa {
namespace {

using test::FixtureLoyalty;
using test::FixtureOrderJson;
using test::ParseShopJson;

class OrderParsing : public ::testing::Test {
 public:
  void SetUp() override {
    TConfig config;
    config.WarehouseCode = "1";
    SetConfig(config);
    ParseShopJson(Order, FixtureOrderJson());
    ASSERT_FALSE(Order.HasParseError());
  }
  void TearDown() override { SetConfig(TConfig{}); }

  bool Parse(std::string& msg) {
    const rapidjson::Value* loyalty = nullptr;
    InitInvoice(Db);
    return ParseOrderData(Db.Document, ConfigSnapshot().WarehouseCode, Order, msg, loyalty);
  }
  void Set(rapidjson::Value& obj, const char* key, const char* text) {
    obj.RemoveMember(key);
    obj.AddMember(rapidjson::Value(key, Order.GetAllocator()), rapidjson::Value(text, Order.GetAllocator()),
                  Order.GetAllocator());
  }
  void SetNull(rapidjson::Value& obj, const char* key) {
    obj.RemoveMember(key);
    obj.AddMember(rapidjson::Value(key, Order.GetAllocator()), rapidjson::Value(), Order.GetAllocator());
  }

  test::TFixedClock Clock{TDateTime::FromCivil(2026, 12, 9, 23, 0, 0), test::kFixtureUtcOffsetMinutes};
  test::TScopedClock UseClock{Clock};
  TDatabaseModule Db;
  rapidjson::Document Order;
};

TEST_F(OrderParsing, FixtureOrderFillsTheDocument) {
  std::string msg;
  ASSERT_TRUE(Parse(msg)) << msg;

  const TCustomer& c = Db.Customer;
  EXPECT_EQ(c.CustomerCode, "M1001");
  EXPECT_EQ(c.CustomerName, "Ann O'Neil");
  EXPECT_EQ(c.Telephone, "0411");
  EXPECT_EQ(c.Mobile, "0422");
  EXPECT_EQ(c.Address, "1 Main St Unit 2");
  EXPECT_EQ(c.DeliveryAddress, "Ann O'Neil, 0422, 1 Main St Unit 2");
  EXPECT_EQ(c.Email, "ann@x.au");

  const TInvoiceHead& h = Db.InvoiceHead;
  EXPECT_EQ(h.CustomerCode, "M1001");
  EXPECT_EQ(h.OnlineOrderId, "5001");
  EXPECT_EQ(h.OnlineOrderStatus, "processing");
  EXPECT_EQ(h.InvoiceDate, TDateTime::FromCivil(2026, 12, 8, 13, 30, 0));  // local
  EXPECT_TRUE(h.Delivery);
  EXPECT_EQ(h.DeliveryAddress, "Ann O'Neil, 0422, 1 Main St Unit 2, Hobart 7000, TAS, AU");
  EXPECT_EQ(h.Freight, 11);
  EXPECT_EQ(h.RedeemPointsAsDollar, 2);
  EXPECT_EQ(h.CurrentPoints, 350);
  EXPECT_EQ(h.TotalRedeemPoints, 200);
  EXPECT_EQ(h.RedeemBasePoints, 100);
  EXPECT_EQ(h.VoucherAmount, 5);
  EXPECT_EQ(h.VoucherDiscount, 5);
  EXPECT_EQ(h.VoucherId, "C-77");
  EXPECT_EQ(h.DiscountKind, 3);
  EXPECT_EQ(h.KindFlag, 6);
  EXPECT_EQ(h.CreditInvoiceKind, -1);

  ASSERT_EQ(Db.InvoiceItem.size(), 2u);
  const TInvoiceItem& beer = Db.InvoiceItem[0];
  EXPECT_EQ(beer.ProductCode, "BEER");
  EXPECT_EQ(beer.PriceKind, 1);
  EXPECT_EQ(beer.Qty, 2);
  EXPECT_EQ(beer.Price, 22);
  EXPECT_EQ(beer.Amount, 44);
  EXPECT_EQ(beer.GST, 4);
  EXPECT_EQ(beer.KindFlag, 6);
  EXPECT_TRUE(beer.IsRedeemItem);
  EXPECT_EQ(beer.WarehouseCode, "1");
  EXPECT_EQ(Db.InvoiceItem[1].ProductCode, "WINE");
  EXPECT_EQ(Db.InvoiceItem[1].PriceKind, 0);

  EXPECT_EQ(Db.Payment.PaidAmount, 50);
  EXPECT_EQ(Db.Payment.PayMethod, "stripe");
  EXPECT_EQ(Db.Payment.PaymentDate, TDateTime::FromCivil(2026, 12, 8, 13, 30, 30));
  EXPECT_EQ(Db.DepositPayment.PaidAmount, 20);
  EXPECT_EQ(Db.DepositPayment.Balance, 30);
  EXPECT_EQ(Db.DepositPayment.PayMethod, "Deposit");
  EXPECT_EQ(Db.DepositPayment.PaymentDate, TDateTime::FromCivil(2026, 12, 8, 13, 30, 0));

  // The next operation starts from a clean document.
  InitInvoice(Db);
  EXPECT_TRUE(Db.InvoiceItem.empty());
  EXPECT_EQ(Db.DepositPayment.PaidAmount, 0);
  EXPECT_EQ(Db.Customer.CustomerCode, "");
  EXPECT_EQ(Db.InvoiceHead.InvoiceDate, TDateTime::FromCivil(2026, 12, 10));  // today, local
  EXPECT_EQ(Db.InvoiceHead.WarehouseCode, "1");
}

TEST_F(OrderParsing, BadDataGetsItsMessage) {
  struct TCase {
    const char* Name;
    std::function<void(OrderParsing&, rapidjson::Document&)> Break;
    std::string Message;
  };
  const TCase cases[] = {
      {"no loyalty entry", [](auto&, auto& o) { o["meta_data"].Erase(o["meta_data"].Begin() + 1); },
       kMsgCustomerDataError},
      {"no billing", [](auto&, auto& o) { o.RemoveMember("billing"); }, kMsgCustomerDataError},
      {"billing not an object", [](auto& t, auto& o) { t.Set(o, "billing", "x"); }, kMsgCustomerDataError},
      {"shipping without phone", [](auto&, auto& o) { o["shipping"].RemoveMember("phone"); },
       kMsgCustomerDataError},
      {"member code of 16 characters",
       [](auto& t, auto& o) { t.Set(FixtureLoyalty(o), "memberCode", "M123456789012345"); },
       kMsgCustomerDataError},
      {"no shipping line", [](auto&, auto& o) { o["shipping_lines"].Clear(); }, kMsgOrderDataError},
      {"freight not a number", [](auto& t, auto& o) { t.Set(o, "shipping_total", "11,00"); }, kMsgOrderDataError},
      {"unparsable creation date", [](auto& t, auto& o) { t.Set(o, "date_created_gmt", "yesterday"); },
       kMsgOrderDataError},
      {"creation date before the POS's dates",
       [](auto& t, auto& o) { t.Set(o, "date_created_gmt", "1752-12-31T12:00:00"); }, kMsgOrderDataError},
      {"payment date after the POS's dates in local time",
       [](auto& t, auto& o) { t.Set(o, "date_paid_gmt", "9999-12-31T20:00:00"); }, kMsgOrderPaymentDataError},
      {"no payment method", [](auto&, auto& o) { o.RemoveMember("payment_method"); }, kMsgOrderDataError},
      {"no redeemed points", [](auto&, auto& o) { FixtureLoyalty(o).RemoveMember("redeemPoints"); },
       kMsgOrderDataError},
      {"no line items", [](auto&, auto& o) { o["line_items"].Clear(); }, kMsgOrderItemsDataError},
      {"quantity 0", [](auto& t, auto& o) { t.Set(o["line_items"][1], "quantity", "0"); },
       kMsgOrderItemsDataError},
      {"subtotal is text", [](auto& t, auto& o) { t.Set(o["line_items"][0], "subtotal", "forty"); },
       kMsgOrderItemsDataError},
      {"line without sku", [](auto&, auto& o) { o["line_items"][0].RemoveMember("sku"); },
       kMsgOrderItemsDataError},
      {"paid order without payment date", [](auto& t, auto& o) { t.SetNull(o, "date_paid_gmt"); },
       kMsgOrderPaymentDataError},
      {"deposit without balance", [](auto&, auto& o) { FixtureLoyalty(o).RemoveMember("depositBalance"); },
       kMsgDepositPaymentDataError},
      {"deposit and payment both bad",
       [](auto& t, auto& o) {
         FixtureLoyalty(o).RemoveMember("depositBalance");
         t.SetNull(o, "date_paid_gmt");
       },
       kMsgOrderPaymentDataError},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ParseShopJson(Order, FixtureOrderJson());
    c.Break(*this, Order);
    std::string msg;
    EXPECT_FALSE(Parse(msg));
    EXPECT_EQ(msg, c.Message);
    // The import refuses it as the order's own data, before any database work.
    const TWriteOutcome out = ProcessOrder(Db, Order);
    EXPECT_EQ(out.Kind, TWriteKind::DataError);
    EXPECT_EQ(out.Message, c.Message);
  }
}

TEST_F(OrderParsing, UnguardedValuesThrow) {
  struct TCase {
    const char* Name;
    std::function<void(OrderParsing&, rapidjson::Document&)> Break;
  };
  const TCase cases[] = {
      {"no meta_data", [](auto&, auto& o) { o.RemoveMember("meta_data"); }},
      {"meta entry without key", [](auto&, auto& o) { o["meta_data"][0].RemoveMember("key"); }},
      {"loyalty value not an object", [](auto& t, auto& o) { t.Set(o["meta_data"][1], "value", "[]"); }},
      {"line_items not an array", [](auto& t, auto& o) { t.Set(o, "line_items", "none"); }},
      {"no depositPayment", [](auto&, auto& o) { FixtureLoyalty(o).RemoveMember("depositPayment"); }},
      {"total not a number", [](auto& t, auto& o) { t.Set(o, "total", "fifty"); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ParseShopJson(Order, FixtureOrderJson());
    c.Break(*this, Order);
    std::string msg;
    EXPECT_THROW(Parse(msg), TOrderDataError);
  }
}

// The shop-side parsing fills the document it is given and books the lines
// to the warehouse it is told, with no database module involved.
TEST_F(OrderParsing, FreeParsingFillsTheGivenDocument) {
  TOrderDocument doc;
  const rapidjson::Value* loyalty = nullptr;
  std::string msg;
  ASSERT_TRUE(ParseOrderData(doc, "W7", Order, msg, loyalty)) << msg;
  ASSERT_NE(loyalty, nullptr);
  EXPECT_EQ(doc.InvoiceHead.OnlineOrderId, JsonText(Order, "id"));
  ASSERT_FALSE(doc.InvoiceItem.empty());
  for (const TInvoiceItem& item : doc.InvoiceItem) EXPECT_EQ(item.WarehouseCode, "W7");
  EXPECT_TRUE(Db.InvoiceItem.empty());
}

// A value read without a guard names the kind of document in its error.
TEST_F(OrderParsing, UnguardedFailuresNameOrderOrRefund) {
  Order.RemoveMember("meta_data");
  TOrderDocument doc;
  const rapidjson::Value* loyalty = nullptr;
  std::string msg;
  const auto what = [](const std::function<void()>& parse) {
    try {
      parse();
    } catch (const TOrderDataError& e) {
      return std::string(e.what());
    }
    return std::string("no TOrderDataError");
  };
  EXPECT_EQ(what([&] { ParseOrderData(doc, "1", Order, msg, loyalty); }),
            "Order data cannot be read: Key \"meta_data\" is missing.");
  EXPECT_EQ(what([&] { ParseOrderRefundData(doc, "1", Order, "INV1", msg, loyalty); }),
            "Refund data cannot be read: Key \"meta_data\" is missing.");
}

TEST_F(OrderParsing, OptionalPartsStayAtTheirInitialValues) {
  Set(Order, "total", "0.00");
  SetNull(Order, "date_paid_gmt");
  Set(FixtureLoyalty(Order), "depositPayment", "0");
  Order["shipping_lines"][0]["method_id"].SetString("local_pickup");
  std::string msg;
  ASSERT_TRUE(Parse(msg)) << msg;
  EXPECT_EQ(Db.Payment.PaidAmount, 0);
  EXPECT_EQ(Db.Payment.PayMethod, "Online");
  EXPECT_EQ(Db.DepositPayment.PaidAmount, 0);
  EXPECT_EQ(Db.DepositPayment.Balance, 0);
  EXPECT_FALSE(Db.InvoiceHead.Delivery);
  EXPECT_EQ(Db.InvoiceHead.DeliveryAddress, "");
}

TEST_F(OrderParsing, GuestOrdersGetACustomerCodeThatFits) {
  struct TCase {
    const char* CustomerId;
    const char* Code;
  };
  const TCase cases[] = {
      {"0", "OnlineUser-0"},
      {"57", "OnlineUser-57"},
      {"1234", "OnlineUser-1234"},
      {"12345", "OU12345"},  // OnlineUser-12345 would be cut to OnlineUser-1234
      {"1234567890123", "OU1234567890123"},
  };
  Set(FixtureLoyalty(Order), "memberCode", "");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.CustomerId);
    Set(Order, "customer_id", c.CustomerId);
    std::string msg;
    ASSERT_TRUE(Parse(msg)) << msg;
    EXPECT_EQ(Db.Customer.CustomerCode, c.Code);
    EXPECT_EQ(Db.InvoiceHead.CustomerCode, c.Code);  // the receipt joins on it
  }
  Set(Order, "customer_id", "12345678901234");
  std::string msg;
  EXPECT_FALSE(Parse(msg));
  EXPECT_EQ(msg, kMsgCustomerDataError);
}

TEST(OrderSku, PriceLevelSuffixOnlyAtTheEnd) {
  struct TCase {
    const char* Sku;
    const char* Code;
    int PriceKind;
  };
  const TCase cases[] = {
      {"ABC-PK2", "ABC", 1},       {"ABC-PK1", "ABC", 0},   {"ABC-PK6", "ABC", 5},
      {"ABC", "ABC", 0},           {"AB-PK12", "AB-PK12", 0}, {"BEER-PK6-PK1", "BEER-PK6", 0},
      {"AB-PK7", "AB-PK7", 0},     {"AB-PK0", "AB-PK0", 0}, {"X-PKA", "X-PKA", 0},
      {"-PK1", "-PK1", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Sku);
    const TSkuParts parts = SplitSku(c.Sku);
    EXPECT_EQ(parts.ProductCode, c.Code);
    EXPECT_EQ(parts.PriceKind, c.PriceKind);
  }
}

TEST(InvoiceCalcPieces, FreightGstRoundsCentsHalfToEven) {
  struct TCase {
    double Amount, Rate, Gst;
  };
  const TCase cases[] = {
      {11, 10, 1}, {0, 10, 0}, {-11, 10, -1}, {0.01, 100, 0}, {0.03, 100, 0.02}, {0.05, 100, 0.02}, {23, 15, 3},
  };
  for (const TCase& c : cases) EXPECT_DOUBLE_EQ(IncludedGst(c.Amount, c.Rate), c.Gst) << c.Amount << " at " << c.Rate;
}

}  // namespace
}  // namespace ooa
