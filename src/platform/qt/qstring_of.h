#pragma once
// The program's UTF-8 text as a QString.

#include <QString>
#include <string>

namespace tollvane {

inline QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace tollvane
