#pragma once
// The print preview of New Year cards (印刷プレビュー): the cards of a
// print request one at a time, drawn by the same cairo routine that writes
// the PDF, with the persons left out and why; the number style and the
// printer offset change the preview at once. Saving writes the PDF and then
// asks whether to tick 出 for every printed person. The printer offset is
// kept with QSettings (cards/offsetX, cards/offsetY, in mm) of the program.
//
// Uses the caller's AddressBook, which must outlive the window; GUI thread.
#include <QDialog>
#include <QImage>
#include <filesystem>
#include <memory>
#include <optional>

#include "cards/render/CardRenderer.h"
#include "greetings/PrintSelection.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace lumo::greetings {

class PrintPreviewWindow : public QDialog {
    Q_OBJECT
public:
    // Throws lumo::Error when the font is missing or the list cannot be read.
    PrintPreviewWindow(AddressBook& book, const PrintRequest& request, std::optional<cards::Sender> sender = {},
                       QWidget* parent = nullptr);

    int cardCount() const { return static_cast<int>(selection_.cards.size()); }
    int currentCard() const { return current_; }
    void showCard(int index);
    void setNumbers(cards::NumberStyle numbers);
    void setOffset(double x, double y);
    const QImage& image() const { return image_; }
    QString leftOutText() const;

    // Writes the PDF; with markSent, ticks 出 of the year for every printed
    // person. Returns how many could not be ticked; throws lumo::Error when
    // the PDF cannot be written.
    int save(const std::filesystem::path& pdf, bool markSent);

private:
    void redraw();
    void saveAsked();

    AddressBook& book_;
    PrintRequest request_;
    std::optional<cards::Sender> sender_;
    PrintSelection selection_;
    cards::CardRenderer renderer_;
    cards::LayoutOptions layout_;
    cards::DrawOptions draw_;
    int current_ = 0;
    QImage image_;
    QLabel* picture_;
    QLabel* page_;
    QLabel* leftOut_;
    QComboBox* numbers_;
    QDoubleSpinBox* offsetX_;
    QDoubleSpinBox* offsetY_;
    QPushButton* previous_;
    QPushButton* next_;
};

}  // namespace lumo::greetings
