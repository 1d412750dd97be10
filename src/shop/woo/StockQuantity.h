// Stock quantities as the shop's JSON integers: the floor of a quantity, kept
// within what a JSON integer of the catalogue entries can hold. Pure
// functions; any thread.
#pragma once

namespace ooa {

// The floor of value, clamped to -9e18 .. 9e18; NaN and +inf give 9e18.
// Every stock figure the catalogue sends: the product upload's per-level stock
// (LevelStockQuantity) and the stock upload's figures (ProductStockFigure,
// VariationStockFigure; a variation's figure is negative when its level
// deducts a negative quantity, and can be any size then).
long long FloorQuantity(double value);

}  // namespace ooa
