#include "addressbook/greetings/PrintPreviewWindow.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "greetings/GreetingMarks.h"
#include "platform/StagedFile.h"

namespace lumo::greetings {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
constexpr double kPreviewDpi = 110;

}  // namespace

PrintPreviewWindow::PrintPreviewWindow(AddressBook& book, const PrintRequest& request,
                                       std::optional<cards::Sender> sender, QWidget* parent)
    : QDialog(parent), book_(book), request_(request), sender_(std::move(sender)),
      selection_(selectCards(book, request)) {
    setWindowTitle(QString("印刷プレビュー (%1年)").arg(request.year));
    picture_ = new QLabel;
    picture_->setAlignment(Qt::AlignCenter);
    page_ = new QLabel;
    leftOut_ = new QLabel(leftOutText());
    leftOut_->setWordWrap(true);
    numbers_ = new QComboBox;
    numbers_->addItems({"漢数字 (一〇二)", "漢数字 (百二)", "算用数字"});
    offsetX_ = new QDoubleSpinBox;
    offsetY_ = new QDoubleSpinBox;
    for (QDoubleSpinBox* box : {offsetX_, offsetY_}) {
        box->setRange(-20, 20);
        box->setSingleStep(0.5);
        box->setSuffix(" mm");
    }
    previous_ = new QPushButton("< 前");
    next_ = new QPushButton("次 >");
    auto* save = new QPushButton("PDF に保存...");

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel("数字:"));
    options->addWidget(numbers_);
    options->addWidget(new QLabel("ずれ 右:"));
    options->addWidget(offsetX_);
    options->addWidget(new QLabel("下:"));
    options->addWidget(offsetY_);
    options->addStretch(1);
    auto* pages = new QHBoxLayout;
    pages->addWidget(previous_);
    pages->addWidget(page_, 1, Qt::AlignCenter);
    pages->addWidget(next_);
    pages->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(picture_, 1);
    layout->addWidget(leftOut_);
    layout->addLayout(pages);

    connect(numbers_, &QComboBox::currentIndexChanged, this, [this](int i) {
        layout_.numbers = static_cast<cards::NumberStyle>(i);
        redraw();
    });
    connect(offsetX_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        draw_.offsetX = v;
        redraw();
    });
    connect(offsetY_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        draw_.offsetY = v;
        redraw();
    });
    connect(previous_, &QPushButton::clicked, this, [this] { showCard(current_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showCard(current_ + 1); });
    connect(save, &QPushButton::clicked, this, [this] { saveAsked(); });
    // The printer's offset is the program's setting: found once with a
    // test print, kept for the next year.
    QSettings settings;
    offsetX_->setValue(settings.value("cards/offsetX", 0.0).toDouble());
    offsetY_->setValue(settings.value("cards/offsetY", 0.0).toDouble());
    connect(offsetX_, &QDoubleSpinBox::valueChanged, this, [](double v) { QSettings().setValue("cards/offsetX", v); });
    connect(offsetY_, &QDoubleSpinBox::valueChanged, this, [](double v) { QSettings().setValue("cards/offsetY", v); });
    draw_.guides = true;
    redraw();
}

void PrintPreviewWindow::showCard(int index) {
    if (selection_.cards.empty()) return;
    current_ = std::clamp(index, 0, cardCount() - 1);
    redraw();
}

void PrintPreviewWindow::setNumbers(cards::NumberStyle numbers) { numbers_->setCurrentIndex(static_cast<int>(numbers)); }

void PrintPreviewWindow::setOffset(double x, double y) {
    offsetX_->setValue(x);
    offsetY_->setValue(y);
}

QString PrintPreviewWindow::leftOutText() const {
    QString text;
    for (const LeftOut& left : selection_.leftOut)
        text += q("印刷しません: " + left.name + " (" + left.reason + ")\n");
    return text.trimmed();
}

void PrintPreviewWindow::redraw() {
    previous_->setEnabled(current_ > 0);
    next_->setEnabled(current_ + 1 < cardCount());
    if (selection_.cards.empty()) {
        page_->setText("印刷する人がいません");
        picture_->clear();
        image_ = QImage();
        return;
    }
    const PrintedCard& card = selection_.cards[static_cast<std::size_t>(current_)];
    page_->setText(QString("%1 / %2　%3").arg(current_ + 1).arg(cardCount()).arg(q(card.name)));
    const cards::Image drawn = renderer_.renderImage(
        cards::layoutCard(card.recipient, sender_ ? &*sender_ : nullptr, layout_), kPreviewDpi, draw_);
    image_ = QImage(drawn.pixels.data(), drawn.width, drawn.height, drawn.stride, QImage::Format_ARGB32_Premultiplied)
                 .copy();
    picture_->setPixmap(QPixmap::fromImage(image_));
}

int PrintPreviewWindow::save(const std::filesystem::path& pdf, bool markSent) {
    cards::DrawOptions printed = draw_;
    printed.guides = false;
    {
        StagedFile staged(pdf);
        cards::CardPdf out(staged.path(), renderer_, printed);
        for (const PrintedCard& card : selection_.cards)
            out.addPage(cards::layoutCard(card.recipient, sender_ ? &*sender_ : nullptr, layout_));
        out.finish();
        staged.publish(StagedFile::Replace::Yes);
    }
    if (!markSent) return 0;
    GreetingChange sent;
    sent.sent = true;
    int failed = 0;
    for (const PrintedCard& card : selection_.cards) {
        try {
            markGreeting(book_, card.personId, request_.year, sent);
        } catch (const std::exception&) {
            ++failed;
        }
    }
    return failed;
}

void PrintPreviewWindow::saveAsked() {
    const QString file = QFileDialog::getSaveFileName(this, "PDF に保存", "nengajo.pdf", "PDF (*.pdf)");
    if (file.isEmpty()) return;
    try {
        save(file.toStdString(), false);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), q(std::string("PDF を書けません: ") + e.what()));
        return;
    }
    const auto answer = QMessageBox::question(
        this, windowTitle(), QString("%1 枚を印刷しました。%2年の「出」を記録しますか？").arg(cardCount()).arg(request_.year));
    if (answer != QMessageBox::Yes) return;
    GreetingChange sent;
    sent.sent = true;
    QStringList failed;
    for (const PrintedCard& card : selection_.cards) {
        try {
            markGreeting(book_, card.personId, request_.year, sent);
        } catch (const std::exception&) {
            failed << q(card.name);
        }
    }
    if (!failed.isEmpty())
        QMessageBox::warning(this, windowTitle(), "次の人の「出」は記録できませんでした:\n" + failed.join("\n"));
}

}  // namespace lumo::greetings
