#pragma once
// The clock's display-only boxes: one line of text on a sunken panel in the box's own colours,
// never focused, never edited. They repaint every second all day, so a repaint is kept to a few
// copies: the empty panel is drawn once per size, and each character once per font and colour,
// into images that later repaints only copy. Text with characters outside printable ASCII (which
// the clock never writes) is drawn the ordinary way, shaped as a whole.

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>

namespace tollvane {

class DisplayBox : public QWidget {
    Q_OBJECT
public:
    explicit DisplayBox(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    // Repaints the box only when the text differs from the shown one.
    void setText(const QString& text);
    // The figures' colour and the box's background; kept in the palette's Text and Base roles of
    // every colour group, since the box is shown alike whether or not its window is active.
    void setColours(const QColor& text, const QColor& background);

    // Where the first character's origin lies on the baseline, in the box's coordinates: left
    // aligned after the frame and margin, centred vertically, as in the program's text boxes.
    QPointF textOrigin() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Glyph {
        QImage image;  // the character's ink in the figures' colour, on transparent
        QPointF ink;   // the image's top-left corner, from the character's origin
        qreal advance = 0;
        bool made = false;
    };
    // The box within its frame: the text is clipped to it.
    QRect inside() const;
    static bool cacheable(const QString& text);
    const Glyph& glyph(char16_t c, qreal dpr);
    void dropImages();

    QString m_text;
    QImage m_panel;  // the empty box at its size
    std::array<Glyph, 128> m_glyphs{};
    qreal m_glyphsDpr = 0;
};

// Lets the desktop's screen reader read a display box as a label whose name is the text shown.
void installDisplayBoxAccessibility();

}  // namespace tollvane
