// Stock figures and entries of the stock upload: flooring, out-of-stock cases,
// per-level deduct quantities and the member order the shop receives.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "shop/woo/StockEntry.h"
#include "shop/woo/StockQuantity.h"

namespace ooa {
namespace {

TEST(StockEntry, ProductFigureFloorsPositiveStockElseZeroOutOfStock) {
  struct Case { double Stock; long long Qty; bool InStock; };
  const Case cases[] = {{7.9, 7, true}, {10, 10, true}, {0.4, 0, true}, {0, 0, false}, {-1, 0, false}};
  for (const auto& c : cases) {
    const TStockFigure f = ProductStockFigure(c.Stock);
    EXPECT_EQ(f.Quantity, c.Qty) << c.Stock;
    EXPECT_EQ(f.InStock, c.InStock) << c.Stock;
  }
}

TEST(StockEntry, VariationFigureDividesByTheLevelsDeductQuantity) {
  struct Case { double Stock, Deduct; long long Qty; bool InStock; };
  const Case cases[] = {
      {20, 6, 3, true},    // level with 6 per unit sold
      {10, 3, 3, true},
      {20, 0, 0, false},   // deducts nothing: not sold separately
      {0, 6, 0, false},
      {-4, 2, 0, false},
      {7.9, 1, 7, true},
  };
  for (const auto& c : cases) {
    const TStockFigure f = VariationStockFigure(c.Stock, c.Deduct);
    EXPECT_EQ(f.Quantity, c.Qty) << c.Stock << "/" << c.Deduct;
    EXPECT_EQ(f.InStock, c.InStock) << c.Stock << "/" << c.Deduct;
  }
}

// Every stock figure is floored and kept within -9e18 .. 9e18, also a
// variation's whose level deducts a tiny negative quantity (once a conversion
// of a number beyond long long, with no defined result).
TEST(StockEntry, QuantityFloorsStayWithinWhatTheShopCanHold) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case { double Value; long long Floor; };
  const Case cases[] = {
      {7.9, 7},
      {-0.5, -1},
      {-3.34, -4},
      {1e19, 9000000000000000000LL},
      {inf, 9000000000000000000LL},
      {std::nan(""), 9000000000000000000LL},
      {-9.1e18, -9000000000000000000LL},
      {-1e30, -9000000000000000000LL},
  };
  for (const auto& c : cases) EXPECT_EQ(FloorQuantity(c.Value), c.Floor) << c.Value;
  EXPECT_EQ(VariationStockFigure(5, -1e-20).Quantity, -9000000000000000000LL);
  EXPECT_EQ(ProductStockFigure(1e30).Quantity, 9000000000000000000LL);
}

TEST(StockEntry, DeductColumnOfEachLevel) {
  EXPECT_EQ(DeductColumnName(1), "DeductStockQty");
  EXPECT_EQ(DeductColumnName(2), "DeductStockQty1");
  EXPECT_EQ(DeductColumnName(6), "DeductStockQty5");
}

TEST(StockEntry, EntriesKeepTheirMemberOrder) {
  rapidjson::Document doc;
  auto& a = doc.GetAllocator();
  EXPECT_EQ(JsonToText(ProductStockEntry("55", ProductStockFigure(7.9), a)),
            R"({"stock_quantity":7,"stock_status":"instock","id":"55"})");
  EXPECT_EQ(JsonToText(VariationStockEntry("501", VariationStockFigure(20, 0), a)),
            R"({"id":"501","stock_quantity":0,"stock_status":"outofstock"})");
}

}  // namespace
}  // namespace ooa
