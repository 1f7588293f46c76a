#include "cards/render/CardRenderer.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cards/PostalBoxes.h"
#include "platform/Error.h"

namespace lumo::cards {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;


bool familyInstalled(PangoFontMap* map, const std::string& family) {
    PangoFontFamily** families = nullptr;
    int count = 0;
    pango_font_map_list_families(map, &families, &count);
    bool found = false;
    for (int i = 0; i < count && !found; ++i)
        found = strcasecmp(pango_font_family_get_name(families[i]), family.c_str()) == 0;
    g_free(families);
    return found;
}

}  // namespace

// The renderer's own font map rather than pango's default one, which
// belongs to the thread and lives until the thread ends: this one, with
// the fonts it has loaded, goes with the renderer.
struct CardRenderer::State {
    PangoFontMap* fontMap = pango_cairo_font_map_new();
    PangoFontDescription* font = nullptr;
    ~State() {
        if (font) pango_font_description_free(font);
        g_object_unref(fontMap);
    }
};

CardRenderer::CardRenderer(const std::string& fontFamily) : state_(std::make_unique<State>()), family_(fontFamily) {
    if (!familyInstalled(state_->fontMap, fontFamily))
        throw Error("フォント「" + fontFamily + "」が見つかりません (fc-list で入っているフォントを確かめてください)");
    state_->font = pango_font_description_new();
    pango_font_description_set_family(state_->font, fontFamily.c_str());
}

CardRenderer::~CardRenderer() = default;

namespace {

// One pango layout reused for every run of text on a page, on a context
// that follows the cairo transformation and neither hints nor rounds:
// positions in millimetres must stay fractional.
class PageText {
public:
    PageText(cairo_t* cr, PangoFontMap* fontMap, const PangoFontDescription* font) : cr_(cr) {
        context_ = pango_font_map_create_context(fontMap);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        pango_cairo_context_set_font_options(context_, options);
        cairo_font_options_destroy(options);
        pango_context_set_round_glyph_positions(context_, FALSE);
        layout_ = pango_layout_new(context_);
        font_ = pango_font_description_copy(font);
    }
    ~PageText() {
        g_object_unref(layout_);
        g_object_unref(context_);
        pango_font_description_free(font_);
    }
    PageText(const PageText&) = delete;
    PageText& operator=(const PageText&) = delete;

    // Lays `text` out at `size` mm, upright glyphs along a vertical line
    // (vertical) or a horizontal one, for the current transformation.
    PangoRectangle set(const std::string& text, double size, bool vertical) {
        pango_context_set_base_gravity(context_, vertical ? PANGO_GRAVITY_EAST : PANGO_GRAVITY_SOUTH);
        pango_context_set_gravity_hint(context_, vertical ? PANGO_GRAVITY_HINT_STRONG : PANGO_GRAVITY_HINT_NATURAL);
        pango_cairo_update_context(cr_, context_);
        pango_font_description_set_absolute_size(font_, size * PANGO_SCALE);
        pango_layout_set_font_description(layout_, font_);
        pango_layout_set_text(layout_, text.c_str(), static_cast<int>(text.size()));
        pango_layout_context_changed(layout_);
        PangoRectangle ink, logical;
        pango_layout_get_extents(layout_, &ink, &logical);
        return vertical ? logical : ink;
    }
    void show() { pango_cairo_show_layout(cr_, layout_); }

private:
    cairo_t* cr_;
    PangoContext* context_ = nullptr;
    PangoLayout* layout_ = nullptr;
    PangoFontDescription* font_ = nullptr;
};

double units(int pangoUnits) { return static_cast<double>(pangoUnits) / PANGO_SCALE; }

// Cells top..: runs of ordinary cells as one vertical layout each (so that
// a reader gets the column back as one line), side-by-side cells across.
void drawColumn(cairo_t* cr, PageText& text, const Column& column) {
    const double s = column.size;
    std::size_t i = 0;
    while (i < column.cells.size()) {
        const double y = column.top + static_cast<double>(i) * s;
        if (column.cells[i].sideBySide) {
            cairo_save(cr);
            cairo_translate(cr, column.centreX, y + s / 2);
            const PangoRectangle ink = text.set(column.cells[i].text, s * 0.8, false);
            const double w = units(ink.width), h = units(ink.height);
            // Narrowed, not shrunk: the digits keep the column's height.
            // The layout is not set again after the scale, which it
            // follows as any drawing does.
            cairo_scale(cr, w > s * 0.9 ? s * 0.9 / w : 1.0, 1.0);
            cairo_move_to(cr, -units(ink.x) - w / 2, -units(ink.y) - h / 2);
            text.show();
            cairo_restore(cr);
            ++i;
            continue;
        }
        std::string run;
        std::size_t j = i;
        for (; j < column.cells.size() && !column.cells[j].sideBySide; ++j) run += column.cells[j].text;
        cairo_save(cr);
        cairo_translate(cr, column.centreX, y);
        cairo_rotate(cr, M_PI / 2);
        // Along the column the run starts at its top; across, its line box
        // is centred on the column's centre line.
        const PangoRectangle logical = text.set(run, s, true);
        cairo_move_to(cr, -units(logical.x), -units(logical.y) - units(logical.height) / 2);
        text.show();
        cairo_restore(cr);
        i = j;
    }
}

// Horizontal text with its ink centred in the box, narrowed when wider.
void drawLabel(cairo_t* cr, PageText& text, const Label& label) {
    cairo_save(cr);
    cairo_translate(cr, label.box.centreX(), label.box.centreY());
    const PangoRectangle ink = text.set(label.text, label.size, false);
    const double w = units(ink.width), h = units(ink.height);
    cairo_scale(cr, w > label.box.width ? label.box.width / w : 1.0, 1.0);
    cairo_move_to(cr, -units(ink.x) - w / 2, -units(ink.y) - h / 2);
    text.show();
    cairo_restore(cr);
}

void drawGuides(cairo_t* cr, const PageGeometry& page) {
    cairo_save(cr);
    cairo_set_line_width(cr, 0.3);
    cairo_set_source_rgb(cr, 0.85, 0.25, 0.25);
    for (const Rect& box : postalBoxes(page.width)) {
        cairo_rectangle(cr, box.x, box.y, box.width, box.height);
        cairo_stroke(cr);
    }
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_rectangle(cr, 0.15, 0.15, page.width - 0.3, page.height - 0.3);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace

void CardRenderer::draw(void* cairoContext, const CardLayout& layout, const DrawOptions& options) const {
    auto* cr = static_cast<cairo_t*>(cairoContext);
    cairo_save(cr);
    if (options.guides) drawGuides(cr, layout.page);
    // Nothing prints outside the card, whatever the offset.
    cairo_rectangle(cr, 0, 0, layout.page.width, layout.page.height);
    cairo_clip(cr);
    cairo_translate(cr, options.offsetX, options.offsetY);
    cairo_set_source_rgb(cr, 0, 0, 0);
    PageText text(cr, state_->fontMap, state_->font);
    for (const Column& column : layout.columns) drawColumn(cr, text, column);
    for (const Label& label : layout.labels) drawLabel(cr, text, label);
    cairo_restore(cr);
}

Image CardRenderer::renderImage(const CardLayout& layout, double dpi, const DrawOptions& options) const {
    const double pxPerMm = dpi / 25.4;
    Image image;
    image.width = static_cast<int>(std::lround(layout.page.width * pxPerMm));
    image.height = static_cast<int>(std::lround(layout.page.height * pxPerMm));
    image.stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, image.width);
    image.pixels.assign(static_cast<std::size_t>(image.stride) * static_cast<std::size_t>(image.height), 0);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(image.pixels.data(), CAIRO_FORMAT_ARGB32,
                                                                   image.width, image.height, image.stride);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_scale(cr, pxPerMm, pxPerMm);
    draw(cr, layout, options);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) throw Error(std::string("画像を描けません: ") + cairo_status_to_string(status));
    return image;
}

void CardRenderer::writePng(const std::filesystem::path& file, const CardLayout& layout, double dpi,
                            const DrawOptions& options) const {
    Image image = renderImage(layout, dpi, options);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(image.pixels.data(), CAIRO_FORMAT_ARGB32,
                                                                   image.width, image.height, image.stride);
    const cairo_status_t status = cairo_surface_write_to_png(surface, file.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw Error(file.string() + " に書けません: " + cairo_status_to_string(status));
}

struct CardPdf::Surface {
    cairo_surface_t* surface = nullptr;
    ~Surface() {
        if (surface) cairo_surface_destroy(surface);
    }
};

CardPdf::CardPdf(const std::filesystem::path& file, const CardRenderer& renderer, const DrawOptions& options)
    : surface_(std::make_unique<Surface>()), renderer_(renderer), options_(options) {
    // The page size is set again for every page; this one is a placeholder.
    surface_->surface = cairo_pdf_surface_create(file.c_str(), kHagaki.width * kPointsPerMm, kHagaki.height * kPointsPerMm);
    if (const cairo_status_t status = cairo_surface_status(surface_->surface); status != CAIRO_STATUS_SUCCESS)
        throw Error(file.string() + " に書けません: " + cairo_status_to_string(status));
    cairo_pdf_surface_set_metadata(surface_->surface, CAIRO_PDF_METADATA_CREATOR, "Lumo");
}

CardPdf::~CardPdf() = default;

void CardPdf::addPage(const CardLayout& layout) {
    cairo_pdf_surface_set_size(surface_->surface, layout.page.width * kPointsPerMm, layout.page.height * kPointsPerMm);
    cairo_t* cr = cairo_create(surface_->surface);
    cairo_scale(cr, kPointsPerMm, kPointsPerMm);
    renderer_.draw(cr, layout, options_);
    cairo_show_page(cr);
    cairo_destroy(cr);
    ++pages_;
}

void CardPdf::finish() {
    cairo_surface_finish(surface_->surface);
    if (const cairo_status_t status = cairo_surface_status(surface_->surface); status != CAIRO_STATUS_SUCCESS)
        throw Error(std::string("PDF を書けません: ") + cairo_status_to_string(status));
}

}  // namespace lumo::cards
