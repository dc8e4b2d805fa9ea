// The clock's display box draws its text from images of each character made once; the picture
// must be the one that drawing the text in one piece gives, and must follow changes of colour and
// font. Text the images do not cover is still drawn.

#include "platform/qt/display_box.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace tollvane {
namespace {

const QColor kGreen(0, 192, 0);
const QColor kBlue(0, 0, 160);
// Antialiased edge pixels that may differ where a character lies a pixel off.
constexpr int kEdgeSlack = 24;

class DisplayBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFont font(QStringLiteral("Comic Neue"));
        font.setPointSizeF(36);
        box.setFont(font);
        box.setColours(kGreen, kBlue);
        box.setGeometry(0, 0, 217, 63);
    }
    QImage picture() {
        QImage image(box.size(), QImage::Format_RGB32);
        box.render(&image);
        return image;
    }
    // The same box drawn the ordinary way: panel, then the whole text shaped at once.
    QImage reference(const QString& text) {
        DisplayBox empty;
        empty.setFont(box.font());
        empty.setColours(box.palette().color(QPalette::Text), kBlue);
        empty.setGeometry(box.geometry());
        QImage image(empty.size(), QImage::Format_RGB32);
        empty.render(&image);
        QPainter p(&image);
        p.setClipRect(image.rect().adjusted(1, 1, -1, -1));
        p.setFont(box.font());
        p.setPen(box.palette().color(QPalette::Text));
        p.drawText(box.textOrigin(), text);
        return image;
    }
    // Pixels of `a` with no pixel of like colour in `b` at most one pixel away: the characters
    // are placed on whole pixels one by one, so an edge may lie a pixel off, but no more.
    static int differing(const QImage& a, const QImage& b) {
        const auto alike = [](const QColor& x, const QColor& y) {
            return std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) +
                       std::abs(x.blue() - y.blue()) <=
                   96;
        };
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                bool found = false;
                for (int dy = -1; dy <= 1 && !found; ++dy)
                    for (int dx = -1; dx <= 1 && !found; ++dx)
                        found = b.valid(x + dx, y + dy) &&
                                alike(a.pixelColor(x, y), b.pixelColor(x + dx, y + dy));
                n += !found;
            }
        return n;
    }
    static int pixelsOf(const QImage& image, const QColor& colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
        return n;
    }

    // The box shows `text` in its figures' colour (at least `inkPixels` of it), placed as the
    // text drawn in one piece would be.
    void expectDrawnAsOnePiece(const QString& text, int inkPixels) {
        box.setText(text);
        const QImage shown = picture();
        EXPECT_GT(pixelsOf(shown, kGreen), inkPixels) << text.toStdString();
        EXPECT_LT(differing(shown, reference(text)), kEdgeSlack) << text.toStdString();
    }

    DisplayBox box;
};

TEST_F(DisplayBoxTest, TimeTextLooksAsTheTextDrawnInOnePiece) {
    for (const QString& text :
         {QStringLiteral("13:22"), QStringLiteral("0:05"), QStringLiteral(":09")})
        expectDrawnAsOnePiece(text, 200);
}

TEST_F(DisplayBoxTest, ANewColourOrFontIsDrawnNotTheImagesOfTheOldOne) {
    box.setText(QStringLiteral("7:30"));
    ASSERT_GT(pixelsOf(picture(), kGreen), 200);
    box.setColours(Qt::white, kBlue);
    const QImage white = picture();
    EXPECT_EQ(pixelsOf(white, kGreen), 0);
    EXPECT_GT(pixelsOf(white, Qt::white), 200);

    QFont smaller = box.font();
    smaller.setPointSizeF(12);
    box.setFont(smaller);
    const QImage small = picture();
    EXPECT_GT(differing(white, small), 300);  // the large figures are gone
    EXPECT_LT(differing(small, reference(QStringLiteral("7:30"))), kEdgeSlack);
}

TEST_F(DisplayBoxTest, TextOutsidePrintableAsciiIsStillDrawn) {
    for (const QString& text :
         {QStringLiteral("Zürich"), QStringLiteral("１２３"), QStringLiteral("a\tb")})
        expectDrawnAsOnePiece(text, 20);
    box.setText(QString());
    EXPECT_EQ(pixelsOf(picture(), kGreen), 0);
}

TEST_F(DisplayBoxTest, AScreenReaderReadsTheShownTextAsALabel) {
    installDisplayBoxAccessibility();
    box.setAccessibleName(QStringLiteral("txttimetot"));
    QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(&box);
    ASSERT_NE(a11y, nullptr);
    EXPECT_EQ(a11y->role(), QAccessible::StaticText);
    EXPECT_EQ(a11y->text(QAccessible::Name), QStringLiteral("txttimetot"));
    box.setText(QStringLiteral("7:05"));
    EXPECT_EQ(a11y->text(QAccessible::Name), QStringLiteral("7:05"));
}

}  // namespace
}  // namespace tollvane
