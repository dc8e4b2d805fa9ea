#include "platform/qt/display_box.h"

#include <qdrawutil.h>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QtMath>

namespace tollvane {

namespace {

// Between the frame and the first character, as in a line edit.
constexpr int kHorizontalMargin = 2;

}  // namespace

DisplayBox::DisplayBox(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    // The panel covers the whole box, so the window beneath is not drawn again each second.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DisplayBox::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    update();
#if QT_CONFIG(accessibility)
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
#endif
}

void DisplayBox::setColours(const QColor& text, const QColor& background) {
    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Text, text);
        pal.setColor(group, QPalette::Base, background);
    }
    setPalette(pal);  // the change event drops the images drawn in the old colours
}

QRect DisplayBox::inside() const {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return rect().adjusted(frame, frame, -frame, -frame);
}

QPointF DisplayBox::textOrigin() const {
    const QRect contents = inside();
    const QFontMetrics fm(font());
    const int top = contents.y() + (contents.height() - fm.height() + 1) / 2;
    return {qreal(contents.x() + kHorizontalMargin), qreal(top + fm.ascent())};
}

bool DisplayBox::cacheable(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) return false;
    }
    return true;
}

const DisplayBox::Glyph& DisplayBox::glyph(char16_t c, qreal dpr) {
    Glyph& g = m_glyphs[c];
    if (g.made) return g;
    const QFontMetricsF fm(font());
    const QString s(QChar{c});
    g.advance = fm.horizontalAdvance(s);
    // The ink's box, one pixel wider each way for the antialiased edge.
    const QRectF ink = fm.boundingRect(s).adjusted(-1, -1, 1, 1);
    g.ink = QPointF(std::floor(ink.left()), std::floor(ink.top()));
    const QSize size(qCeil((ink.right() - g.ink.x()) * dpr),
                     qCeil((ink.bottom() - g.ink.y()) * dpr));
    if (!size.isEmpty()) {
        g.image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        g.image.setDevicePixelRatio(dpr);
        g.image.fill(Qt::transparent);
        QPainter p(&g.image);
        p.setFont(font());
        p.setPen(palette().color(QPalette::Text));
        p.drawText(-g.ink, s);
    }
    g.made = true;
    return g;
}

void DisplayBox::dropImages() {
    m_panel = QImage();
    m_glyphs = {};
}

void DisplayBox::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    if (m_panel.isNull() || m_panel.devicePixelRatio() != dpr) {
        m_panel = QImage(size() * dpr, QImage::Format_RGB32);
        m_panel.setDevicePixelRatio(dpr);
        QPainter p(&m_panel);
        p.fillRect(rect(), palette().brush(QPalette::Base));
        qDrawShadePanel(&p, rect(), palette(), true, 1);
    }
    if (m_glyphsDpr != dpr) {
        m_glyphs = {};
        m_glyphsDpr = dpr;
    }

    QPainter p(this);
    p.drawImage(0, 0, m_panel);
    if (m_text.isEmpty()) return;
    p.setClipRect(inside());
    QPointF origin = textOrigin();
    if (!cacheable(m_text)) {
        p.setFont(font());
        p.setPen(palette().color(QPalette::Text));
        p.drawText(origin, m_text);
        return;
    }
    for (QChar c : m_text) {
        const Glyph& g = glyph(c.unicode(), dpr);
        if (!g.image.isNull()) {
            // Whole device pixels, so the copy is never resampled.
            const QPointF at = origin + g.ink;
            p.drawImage(QPointF(std::round(at.x() * dpr) / dpr, std::round(at.y() * dpr) / dpr),
                        g.image);
        }
        origin.rx() += g.advance;
    }
}

void DisplayBox::resizeEvent(QResizeEvent* event) {
    m_panel = QImage();
    QWidget::resizeEvent(event);
}

void DisplayBox::changeEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::FontChange:
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
            dropImages();
            update();
            break;
        default:
            break;
    }
    QWidget::changeEvent(event);
}

namespace {

class DisplayBoxAccessible : public QAccessibleWidget {
public:
    explicit DisplayBoxAccessible(DisplayBox* box)
        : QAccessibleWidget(box, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        const auto* box = static_cast<const DisplayBox*>(widget());
        if (t == QAccessible::Name && !box->text().isEmpty()) return box->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* makeDisplayBoxAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(DisplayBox::staticMetaObject.className()) && object &&
        object->isWidgetType()) {
        return new DisplayBoxAccessible(static_cast<DisplayBox*>(object));
    }
    return nullptr;
}

}  // namespace

void installDisplayBoxAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(makeDisplayBoxAccessible);
        return true;
    }();
    (void)installed;
}

}  // namespace tollvane
