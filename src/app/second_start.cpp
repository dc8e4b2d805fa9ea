#include "app/second_start.h"

#include "app/program.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

namespace tollvane {

void showFullViewForSecondStart(Program& app) {
    if (app.ended()) return;
    for (Form* w : app.loadedWindows()) {
        if (auto* clock = dynamic_cast<frmclock*>(w); clock && clock->Visible) {
            clock->MnuFull_Click();
            return;
        }
    }
    app.Show(app.frmAlarmClock());
}

}  // namespace tollvane
