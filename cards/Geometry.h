#pragma once
// Millimetres on a page, measured from its top-left corner (x to the right,
// y downwards), and the two pages the suite prints addresses on. Plain
// values: copy them freely, on any thread.
namespace lumo::cards {

struct Rect {
    double x = 0;  // left edge
    double y = 0;  // top edge
    double width = 0;
    double height = 0;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    double centreX() const { return x + width / 2; }
    double centreY() const { return y + height / 2; }
    // Edges that meet count as inside (within a nanometre of rounding).
    bool contains(const Rect& r) const {
        constexpr double e = 1e-6;
        return r.x >= x - e && r.y >= y - e && r.right() <= right() + e && r.bottom() <= bottom() + e;
    }
    bool overlaps(const Rect& r) const { return r.x < right() && x < r.right() && r.y < bottom() && y < r.bottom(); }
};

enum class PageKind { Hagaki, Envelope };

// Where each part of the address side goes on one kind of page. The
// regions are the areas the text may use; the layout shrinks the text to
// stay inside them.
struct PageGeometry {
    PageKind kind;
    double width;
    double height;
    // The recipient's address columns, the rightmost column's right edge
    // at region.right().
    Rect address;
    double addressMaxSize;
    double addressMinSize;
    // The name columns, centred on the page's centre line.
    Rect name;
    double nameMaxSize;
    double nameMinSize;
    // Company, section and position (--office), between address and name.
    double officeSize;
    // The sender's block: columns from the region's right edge leftwards,
    // the postal code written across its foot.
    Rect sender;
    double senderMaxSize;
    double senderMinSize;
};

// 官製はがき, 100 x 148 mm.
inline constexpr PageGeometry kHagaki{
    PageKind::Hagaki, 100.0, 148.0,
    /*address*/ {67.5, 26.0, 25.5, 100.0}, 6.0, 3.2,
    /*name*/ {32.0, 30.0, 36.0, 96.0}, 11.0, 5.0,
    4.2,
    /*sender*/ {7.0, 86.0, 24.0, 48.0}, 3.6, 2.4,
};

// 長形3号 envelope, 120 x 235 mm.
inline constexpr PageGeometry kEnvelope{
    PageKind::Envelope, 120.0, 235.0,
    /*address*/ {82.0, 28.0, 30.0, 150.0}, 8.0, 3.6,
    /*name*/ {38.0, 40.0, 44.0, 150.0}, 14.0, 6.0,
    5.0,
    /*sender*/ {8.0, 150.0, 28.0, 70.0}, 4.2, 2.8,
};

inline const PageGeometry& pageGeometry(PageKind kind) { return kind == PageKind::Hagaki ? kHagaki : kEnvelope; }

}  // namespace lumo::cards
