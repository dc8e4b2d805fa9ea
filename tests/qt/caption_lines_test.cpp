// Every caption of the main, clock-only and About windows is set on Linux in as many lines as the
// Windows program sets it, and cut where Windows cuts it: the Qt renderer's widgets, with the
// fonts the program resolves (its stand-ins registered by the test's main), measured by their own
// layout against the table that the Windows test run measures.

#include <QFontInfo>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>

#include "contract/caption_lines.h"
#include "desktop_fixture.h"
#include "platform/qt/font_stand_ins.h"

namespace tollvane::testing {
namespace {

using contract::CaptionSetting;

// A label by the height its own layout gives its text at its width, in lines of its font; a
// button by the room its style leaves for the caption, which it never wraps. Cut: wider than
// that room.
CaptionSetting measured(const FormView& view, const ControlLayout& c, QString& note) {
    CaptionSetting s{view.model().layout().name, c.name};
    QWidget* w = view.widget(c.name);
    int needed = 0, room = 0;
    if (auto* label = qobject_cast<QLabel*>(w)) {
        EXPECT_TRUE(label->wordWrap()) << c.name;
        const int leading = label->fontMetrics().leading();
        const int oneLine = label->minimumSizeHint().height();
        const int height = label->heightForWidth(label->width());
        EXPECT_EQ((height + leading) % (oneLine + leading), 0) << c.name << ": not whole lines";
        s.lines = (height + leading) / (oneLine + leading);
        room = label->width();
        // Its widest line, as the label sets plain text.
        needed = label->fontMetrics()
                     .boundingRect(QRect(0, 0, room, 10 * height),
                                   static_cast<int>(label->alignment()) | Qt::TextWordWrap,
                                   label->text())
                     .width();
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
        const QRect text = button->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option,
            button);
        s.lines = static_cast<int>(button->text().count(QLatin1Char('\n'))) + 1;
        needed = button->fontMetrics().horizontalAdvance(button->text());
        room = text.width();
    } else {
        ADD_FAILURE() << c.name << " is neither a label nor a button";
    }
    s.cut = needed > room;
    note =
        QStringLiteral("%1, %2 of %3 px").arg(QFontInfo(w->font()).family()).arg(needed).arg(room);
    return s;
}

class CaptionLines : public DesktopFixture {};

TEST_F(CaptionLines, EveryCaption_SetInAsManyLinesAsOnWindows) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
    start();
    Program& program = desktop->program();
    mainView().findChild<QAction*>("MnuClock")->trigger();
    desktop->view(program.frmclock())->findChild<QAction*>("MnuFull")->trigger();
    mainView().findChild<QAction*>("MnuAbout")->trigger();

    std::vector<CaptionSetting> rows;
    QString notes;
    for (Form* form : {static_cast<Form*>(&main()), static_cast<Form*>(&program.frmclock()),
                       static_cast<Form*>(&program.frmAbout())}) {
        FormView* view = desktop->view(*form);
        ASSERT_NE(view, nullptr) << form->layout().name;
        for (const ControlLayout& c : form->layout().controls) {
            if (!contract::showsCaption(c)) continue;
            QString note;
            rows.push_back(measured(*view, c, note));
            notes += QString::fromStdString(contract::formatCaptionRow(rows.back())) +
                     QStringLiteral("  # ") + note + QLatin1Char('\n');
        }
    }
    const std::string differences =
        contract::captionDifferences(contract::readCaptionTable(TOLLVANE_CAPTION_TABLE), rows);
    EXPECT_TRUE(differences.empty())
        << "Set otherwise than on Windows (tests/contract/caption_lines.txt):\n"
        << differences << "All that was measured here:\n"
        << notes.toStdString();
}

// The program says so on its standard error where the faces are missing.
TEST(FontStandIns, MissingFolder_NamesTheFacesAndTheirPackage) {
    const QString missing = useFontStandIns(QStringLiteral("/nonexistent/fonts"));
    EXPECT_TRUE(missing.contains(QStringLiteral("tahoma.ttf, tahomabd.ttf")))
        << missing.toStdString();
    EXPECT_TRUE(missing.contains(QStringLiteral("fonts-wine"))) << missing.toStdString();
}

}  // namespace
}  // namespace tollvane::testing
