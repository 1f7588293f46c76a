#pragma once
// The seven postal-code boxes printed on the card, in Japan Post's
// geometry: 5.7 x 8.0 mm, tops 12.0 mm below the top edge, the last box's
// right side 8.0 mm from the right edge, gaps of 1.3 mm (boxes 1 to 3),
// 1.9 mm (3 to 4) and 1.1 mm (4 to 7). Envelopes carry the same boxes at
// the same distances from their top-right corner. A pure function; any
// thread.
#include <array>

#include "cards/Geometry.h"

namespace lumo::cards {

inline constexpr double kBoxWidth = 5.7;
inline constexpr double kBoxHeight = 8.0;
inline constexpr double kBoxTop = 12.0;
inline constexpr double kBoxRightMargin = 8.0;

// Boxes 1 to 7, left to right, on a page `pageWidth` mm wide.
std::array<Rect, 7> postalBoxes(double pageWidth);

}  // namespace lumo::cards
