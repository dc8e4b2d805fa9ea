#pragma once
// The shop page, shown in the program's own browser window.

#include <string>

namespace tollvane {

class Program;

std::string shopAddress();
// Shows the shop window (made on first use) and loads the page afresh in it.
void openShopPage(Program& app);

}  // namespace tollvane
