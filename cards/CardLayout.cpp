#include "cards/CardLayout.h"

#include <algorithm>
#include <cmath>

#include "cards/PostalBoxes.h"

namespace lumo::cards {
namespace {

// Distances between column centres, as multiples of the character size.
constexpr double kAddressPitch = 1.45;
constexpr double kNamePitch = 1.25;
constexpr double kOfficePitch = 1.4;
// The building column starts at least this many squares below the first.
constexpr double kDropCells = 2.0;
// The pauses between family name, given name and honorific, in squares.
constexpr double kNameGap = 0.5;
constexpr int kMostColumns = 6;
constexpr double kPostalDigitSize = 6.0;
constexpr double kSenderZipSize = 2.8;

double length(const std::vector<Cell>& cells) { return static_cast<double>(cells.size()); }

double longest(const std::vector<std::vector<Cell>>& pieces) {
    double n = 0;
    for (const auto& p : pieces) n = std::max(n, length(p));
    return n;
}

// An address (and building) in columns: the pieces and the size they share.
struct AddressFit {
    std::vector<std::vector<Cell>> first;
    std::vector<std::vector<Cell>> second;
    double size = 0;
};

// Fewest columns that keep the text at `minSize` or larger; when none does,
// the largest size within kMostColumns. `extraWidth` is room (in squares)
// the caller needs left of the address columns in the same region.
AddressFit fitAddress(const std::vector<Cell>& a1, const std::vector<Cell>& a2, const Rect& region, double maxSize,
                      double minSize, double extraWidth = 0) {
    AddressFit best;
    const int least1 = a1.empty() ? 0 : 1;
    const int least2 = a2.empty() ? 0 : 1;
    for (int total = std::max(1, least1 + least2); total <= kMostColumns; ++total) {
        AddressFit bestOfTotal;
        for (int k1 = least1; k1 <= total - least2; ++k1) {
            const int k2 = total - k1;
            if ((k1 > 0) != !a1.empty() || (k2 > 0) != !a2.empty()) continue;
            AddressFit fit;
            if (k1 > 0) fit.first = splitCells(a1, static_cast<std::size_t>(k1));
            if (k2 > 0) fit.second = splitCells(a2, static_cast<std::size_t>(k2));
            double size = maxSize;
            if (k1 > 0) size = std::min(size, region.height / longest(fit.first));
            if (k2 > 0) size = std::min(size, region.height / (longest(fit.second) + kDropCells));
            size = std::min(size, region.width / (1 + kAddressPitch * (total - 1) + extraWidth));
            fit.size = size;
            if (size > bestOfTotal.size) bestOfTotal = std::move(fit);
        }
        if (bestOfTotal.size >= minSize) return bestOfTotal;
        if (bestOfTotal.size > best.size) best = std::move(bestOfTotal);
    }
    return best;
}

// Places the fitted columns from the region's right edge leftwards and
// returns the centre of the next column to the left.
double placeAddress(CardLayout& layout, AddressFit& fit, const Rect& region, Column::Role role) {
    const double s = fit.size;
    double x = region.right() - s / 2;
    for (auto& piece : fit.first) {
        layout.columns.push_back({role, std::move(piece), x, region.y, s});
        x -= kAddressPitch * s;
    }
    // The building ends level with the address above it, or starts two
    // squares lower when it is the longer one.
    const double lastFirst = layout.columns.empty() || fit.first.empty() ? 0 : length(layout.columns.back().cells);
    for (auto& piece : fit.second) {
        const double drop = std::max(kDropCells, lastFirst - length(piece));
        const double top = std::min(region.y + drop * s, region.bottom() - length(piece) * s);
        layout.columns.push_back({role, std::move(piece), x, top, s});
        x -= kAddressPitch * s;
    }
    return x;
}

std::string joinWithSpace(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + "　" + b;
}

void layoutName(CardLayout& layout, const Recipient& r, NumberStyle style) {
    const PageGeometry& page = layout.page;
    const Rect& region = page.name;
    const std::vector<Cell> family = verticalCells(r.familyName, style);
    std::vector<GivenName> given = r.givenNames;
    if (given.empty()) given.push_back({});
    std::vector<std::vector<Cell>> names, honorifics;
    double longestGiven = 0, longestHonorific = 0;
    for (const GivenName& g : given) {
        names.push_back(verticalCells(g.name, style));
        honorifics.push_back(verticalCells(g.honorific, style));
        longestGiven = std::max(longestGiven, length(names.back()));
        longestHonorific = std::max(longestHonorific, length(honorifics.back()));
    }
    const double familyPart = family.empty() ? 0 : length(family) + (longestGiven > 0 ? kNameGap : 0);
    const double givenPart = longestGiven > 0 ? longestGiven + kNameGap : 0;
    const double squares = familyPart + givenPart + longestHonorific;
    const double n = static_cast<double>(given.size());
    double s = std::min(page.nameMaxSize, region.height / std::max(1.0, squares));
    s = std::min(s, region.width / (1 + kNamePitch * (n - 1)));
    const double top = region.y + (region.height - squares * s) / 2;
    const double givenTop = top + familyPart * s;
    const double honorificTop = givenTop + givenPart * s;
    const double firstX = page.width / 2 + (n - 1) / 2 * kNamePitch * s;

    // Company, section and position stand right of the names, from the
    // names' top.
    std::vector<std::vector<Cell>> office;
    if (!r.company.empty()) office.push_back(verticalCells(r.company, style));
    if (const std::string sp = joinWithSpace(r.section, r.position); !sp.empty()) office.push_back(verticalCells(sp, style));
    if (!office.empty()) {
        const double so = std::min(page.officeSize, region.height / longest(office));
        const double groupRight = firstX + s / 2;
        double x = groupRight + 1.5 + so / 2 + kOfficePitch * so * static_cast<double>(office.size() - 1);
        for (auto& cells : office) {
            layout.columns.push_back({Column::Role::Office, std::move(cells), x, region.y, so});
            x -= kOfficePitch * so;
        }
    }
    if (!family.empty()) layout.columns.push_back({Column::Role::FamilyName, family, firstX, top, s});
    for (std::size_t i = 0; i < given.size(); ++i) {
        const double x = firstX - static_cast<double>(i) * kNamePitch * s;
        if (!names[i].empty()) layout.columns.push_back({Column::Role::GivenName, std::move(names[i]), x, givenTop, s});
        if (!honorifics[i].empty())
            layout.columns.push_back({Column::Role::Honorific, std::move(honorifics[i]), x, honorificTop, s});
    }
}

void layoutSender(CardLayout& layout, const Sender& sender, NumberStyle style) {
    const PageGeometry& page = layout.page;
    const Rect& region = page.sender;
    const std::vector<Cell> a1 = verticalCells(sender.address1, style);
    const std::vector<Cell> a2 = verticalCells(sender.address2, style);
    const std::vector<Cell> name = verticalCells(sender.name, style);
    // The name, a little larger, takes the place of one more column.
    constexpr double kNameScale = 1.2;
    const double nameRoom = name.empty() ? 0 : kAddressPitch * kNameScale;
    AddressFit fit = fitAddress(a1, a2, region, page.senderMaxSize, page.senderMinSize, nameRoom);
    if (a1.empty() && a2.empty()) fit.size = page.senderMaxSize;
    double x = placeAddress(layout, fit, region, Column::Role::SenderAddress);
    if (!name.empty()) {
        double sn = std::min(fit.size * kNameScale, (region.height - kDropCells * fit.size) / length(name));
        if (a1.empty() && a2.empty()) x = region.right() - sn / 2;
        else x -= (kNameScale - 1) * fit.size / 2;
        const double top = region.bottom() - length(name) * sn;
        layout.columns.push_back({Column::Role::SenderName, name, x, top, sn});
    }
    const std::string digits = postalDigits(sender.zip);
    if (digits.size() == 7) {
        layout.labels.push_back({Label::Role::SenderZip, "〒" + wideDigits(digits.substr(0, 3)) + "－" + wideDigits(digits.substr(3)),
                                 {region.x, region.bottom() + 1.5, region.width, kSenderZipSize + 1.0}, kSenderZipSize});
    }
}

}  // namespace

std::vector<std::vector<Cell>> splitCells(const std::vector<Cell>& cells, std::size_t count) {
    std::vector<std::vector<Cell>> pieces;
    const std::size_t n = cells.size();
    count = std::max<std::size_t>(1, std::min(count, std::max<std::size_t>(1, n)));
    std::size_t begin = 0;
    for (std::size_t k = 1; k <= count; ++k) {
        std::size_t end = k == count ? n : (n * k + count - 1) / count;
        if (k < count) {
            // Not inside a number: look for the nearest place within three
            // squares that is not between two numerals.
            const auto inside = [&](std::size_t at) {
                return at > 0 && at < n && isNumeralCell(cells[at - 1]) && isNumeralCell(cells[at]);
            };
            for (std::size_t d = 0; d <= 3 && inside(end); ++d) {
                if (end + d < n && !inside(end + d)) {
                    end += d;
                    break;
                }
                if (end >= d + 1 && end - d > begin + 1 && !inside(end - d)) {
                    end -= d;
                    break;
                }
            }
            end = std::clamp(end, begin + 1, n);
        }
        pieces.emplace_back(cells.begin() + static_cast<std::ptrdiff_t>(begin),
                            cells.begin() + static_cast<std::ptrdiff_t>(end));
        begin = end;
        if (begin >= n) break;
    }
    return pieces;
}

CardLayout layoutCard(const Recipient& recipient, const Sender* sender, const LayoutOptions& options) {
    CardLayout layout{pageGeometry(options.page), {}, {}};
    const PageGeometry& page = layout.page;

    const std::string digits = postalDigits(recipient.zip);
    const auto boxes = postalBoxes(page.width);
    for (std::size_t i = 0; i < digits.size(); ++i)
        layout.labels.push_back({Label::Role::PostalDigit, wideDigits(digits.substr(i, 1)), boxes[i], kPostalDigitSize});

    const std::vector<Cell> a1 = verticalCells(recipient.address1, options.numbers);
    const std::vector<Cell> a2 = verticalCells(recipient.address2, options.numbers);
    if (!a1.empty() || !a2.empty()) {
        AddressFit fit = fitAddress(a1, a2, page.address, page.addressMaxSize, page.addressMinSize);
        placeAddress(layout, fit, page.address, Column::Role::Address);
    }
    layoutName(layout, recipient, options.numbers);
    if (sender) layoutSender(layout, *sender, options.numbers);
    return layout;
}

}  // namespace lumo::cards
