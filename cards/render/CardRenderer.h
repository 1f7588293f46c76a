#pragma once
// Draws laid-out cards with pango and cairo: a PDF of one card a page, a
// PNG preview, or an image in memory for a window's preview. All three go
// through the same drawing routine, so the preview shows what prints.
// Text is real text: vertical columns are pango layouts with east gravity
// (CJK upright, kanji numerals included), the font is embedded once per
// document.
//
// Ownership and threads: a CardRenderer owns its pango context and font
// description and is used by one thread at a time. A CardPdf owns its
// cairo surface; its file is complete after finish(). The caller keeps the
// renderer alive as long as any CardPdf made with it.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cards/CardLayout.h"

namespace lumo::cards {

inline constexpr const char* kDefaultFont = "IPAexMincho";

struct DrawOptions {
    // Printer correction in mm: positive moves everything right and down.
    double offsetX = 0;
    double offsetY = 0;
    // The page edge and the pre-printed postal boxes, for previews only.
    bool guides = false;
};

// An image in cairo's ARGB32 form (premultiplied, native byte order), as
// QImage::Format_ARGB32_Premultiplied reads it.
struct Image {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> pixels;
};

class CardRenderer {
public:
    // Throws lumo::Error when no installed font has the family name.
    explicit CardRenderer(const std::string& fontFamily = kDefaultFont);
    ~CardRenderer();
    CardRenderer(const CardRenderer&) = delete;
    CardRenderer& operator=(const CardRenderer&) = delete;

    const std::string& fontFamily() const { return family_; }

    // Draws on `cairoContext` (a cairo_t*) whose user units are millimetres
    // of the page.
    void draw(void* cairoContext, const CardLayout& layout, const DrawOptions& options) const;

    Image renderImage(const CardLayout& layout, double dpi, const DrawOptions& options) const;
    // Throws lumo::Error when the file cannot be written.
    void writePng(const std::filesystem::path& file, const CardLayout& layout, double dpi,
                  const DrawOptions& options) const;

private:
    struct State;
    std::unique_ptr<State> state_;
    std::string family_;
};

// A PDF being written, one page per card; every page has the size of the
// page it is given.
class CardPdf {
public:
    CardPdf(const std::filesystem::path& file, const CardRenderer& renderer, const DrawOptions& options);
    ~CardPdf();
    CardPdf(const CardPdf&) = delete;
    CardPdf& operator=(const CardPdf&) = delete;

    void addPage(const CardLayout& layout);
    int pages() const { return pages_; }
    // Writes the rest of the file; throws lumo::Error when writing failed.
    void finish();

private:
    struct Surface;
    std::unique_ptr<Surface> surface_;
    const CardRenderer& renderer_;
    DrawOptions options_;
    int pages_ = 0;
};

}  // namespace lumo::cards
