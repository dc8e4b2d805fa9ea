#pragma once
#include "platform/ports.h"

namespace tollvane {

// A modal QMessageBox with one OK button and no icon. Its nested event loop keeps the timers
// running while it is open.
class QtMessageBox : public MessageBox {
public:
    void show(const std::string& text, const std::string& title) override;
};

}  // namespace tollvane
