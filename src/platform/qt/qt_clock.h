#pragma once
#include "platform/ports.h"

namespace tollvane {

// Local date and time from the system clock.
class QtClock : public Clock {
public:
    LocalDateTime now() const override;
};

}  // namespace tollvane
