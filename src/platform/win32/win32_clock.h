#pragma once
// The local date and time on Windows, from GetLocalTime.

#include "platform/ports.h"

namespace tollvane {

class Win32Clock : public Clock {
public:
    LocalDateTime now() const override;
};

}  // namespace tollvane
