// Stock quantities as the shop's JSON integers: the floor of a quantity, kept
// within what a JSON integer of the catalogue entries can hold. Pure
// functions; any thread.
#pragma once

namespace ooa {

// The floor of value, clamped to -9e18 .. 9e18; NaN and +inf give 9e18.
// The product upload's per-level stock (LevelStockQuantity).
long long FloorQuantity(double value);

// The floor of value, clamped to 9e18 above (NaN and +inf give 9e18) but not
// below: equal to FloorQuantity from -9e18 up, the bare floor beneath it, and
// no defined result below the range of long long. The stock upload's figures
// (ProductStockFigure, VariationStockFigure); a variation's figure is
// negative when its level deducts a negative quantity.
long long FloorQuantityUnclampedBelow(double value);

}  // namespace ooa
