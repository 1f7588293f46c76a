#include "cards/PostalBoxes.h"

namespace lumo::cards {

std::array<Rect, 7> postalBoxes(double pageWidth) {
    // The gap to the left of box i + 1 (index i), from box 7 back to box 1.
    static constexpr std::array<double, 6> gapBefore{1.3, 1.3, 1.9, 1.1, 1.1, 1.1};
    std::array<Rect, 7> boxes{};
    double right = pageWidth - kBoxRightMargin;
    for (int i = 6; i >= 0; --i) {
        boxes[static_cast<std::size_t>(i)] = {right - kBoxWidth, kBoxTop, kBoxWidth, kBoxHeight};
        if (i > 0) right -= kBoxWidth + gapBefore[static_cast<std::size_t>(i - 1)];
    }
    return boxes;
}

}  // namespace lumo::cards
