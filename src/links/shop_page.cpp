#include "links/shop_page.h"

#include "app/program.h"
#include "windows/form1.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {

std::string shopAddress() {
    return std::string("http://") + TOLLVANE_SHOP_HOST +
           "/exec/obidos/redirect-home/zerudaduvudez-20";
}

void openShopPage(Program& app) {
    tollvane::Form1& shop = app.Form1();
    if (!shop.showWindow()) return;
    if (Status went = shop.WebBrowser1.Navigate(shopAddress()); !went) {
        app.ports().messages.show("The shop page could not be opened.\n" + went.error, "Error");
    }
}

void frmAlarmClock::Command1_Click() {
    openShopPage(app);
}

}  // namespace tollvane
