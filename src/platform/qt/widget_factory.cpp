#include "platform/qt/widget_factory.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "platform/qt/display_box.h"
#include "platform/qt/month_view.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qstring_of.h"
#include "platform/qt/theme.h"
#include "windows/geometry.h"
#include "windows/theme.h"

namespace tollvane {

namespace {

// A button drawn with a picture behind its caption (the About window's OK button).
class PictureButton : public QPushButton {
public:
    PictureButton(const QString& text, QColor background, QWidget* parent)
        : QPushButton(text, parent), m_background(background) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        const ButtonPicture& picture = kButtonPicture;
        QLinearGradient g(0, 0, 0, picture.height);
        g.setColorAt(0, toQColor(picture.start));
        g.setColorAt(1, toQColor(picture.end));
        p.fillRect(r, m_background);
        p.fillRect(r.intersected(QRect(0, 0, picture.width, picture.height)), g);
        p.setPen(isDown() ? QColor(255, 255, 255) : QColor(40, 40, 40));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setFont(font());
        p.setPen(QColor(0, 0, 0));
        p.drawText(r.translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter, text());
        if (hasFocus()) {
            p.setPen(Qt::DotLine);
            p.drawRect(r.adjusted(3, 3, -4, -4));
        }
    }

private:
    QColor m_background;
};

void setTextColour(QWidget* w, const Colour& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, layoutColour(colour, w->palette(), Qt::black));
    w->setPalette(pal);
}

QWidget* make(const ControlLayout& c, QWidget* parent) {
    const QPalette& palette = parent->palette();
    switch (c.kind) {
        case ControlKind::Shape:
        case ControlKind::Hidden:
        case ControlKind::Browser:
            return nullptr;
        case ControlKind::Button: {
            QPushButton* b =
                c.background.isDefault()
                    ? new QPushButton(q(c.caption), parent)
                    : new PictureButton(q(c.caption), layoutColour(c.background, palette, Qt::gray),
                                        parent);
            b->setAutoDefault(false);
            return b;
        }
        case ControlKind::TextBox: {
            auto* e = new QLineEdit(parent);
            e->setText(q(c.caption));
            return e;
        }
        case ControlKind::DisplayBox: {
            installDisplayBoxAccessibility();
            auto* box = new DisplayBox(parent);
            box->setText(q(c.caption));
            const QColor base = layoutColour(c.background, palette, Qt::white);
            const QColor text = layoutColour(c.foreground, palette, Qt::black);
            box->setColours(toQColor(readableText(toRgb(text), toRgb(base))), base);
            return box;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(q(c.caption), parent);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAttribute(Qt::WA_TranslucentBackground);
            setTextColour(label, c.foreground);
            return label;
        }
        case ControlKind::OptionButton: {
            auto* radio = new QRadioButton(q(c.caption), parent);
            setTextColour(radio, c.foreground);
            // A button fills its background in the Button role.
            QPalette pal = radio->palette();
            const QColor background = layoutColour(c.background, palette, Qt::white);
            pal.setColor(QPalette::Window, background);
            pal.setColor(QPalette::Button, background);
            radio->setPalette(pal);
            radio->setAutoFillBackground(true);
            return radio;
        }
        case ControlKind::Calendar: {
            auto* cal = new MonthView(parent);
            cal->setGridVisible(true);
            return cal;
        }
        case ControlKind::Picture: {
            auto* picture = new QLabel(parent);
            picture->setScaledContents(true);
            return picture;
        }
    }
    return nullptr;
}

}  // namespace

QWidget* makeControlWidget(const ControlLayout& c, const FontSpec& defaultFont, double dpi,
                           QWidget* parent) {
    QWidget* w = make(c, parent);
    if (!w) return nullptr;
    const PixelRect r = controlRect(c, dpi);
    w->setObjectName(q(c.name));
    w->setGeometry(r.left, r.top, r.width, r.height);
    w->setFont(toQFont(c.font.family.empty() ? defaultFont : c.font));
    if (c.kind == ControlKind::Picture) {
        static_cast<QLabel*>(w)->setPixmap(programIcon().pixmap(QSize(r.width, r.height)));
    }
    w->setAccessibleName(q(c.accessibleName.empty() ? c.caption : c.accessibleName));
    if (w->accessibleName().isEmpty()) w->setAccessibleName(q(c.name));
    if (!c.visible) w->hide();
    return w;
}

}  // namespace tollvane
