#pragma once
// The local date and time on Windows, read from the system's precise clock: the reading that
// aims the program's wake-up at the whole second, so that the second shown is the one that woke
// it (GetLocalTime moves only at the system's clock tick and can lag it by 16 ms).

#include "platform/ports.h"

namespace tollvane {

class Win32Clock : public Clock {
public:
    LocalDateTime now() const override;
};

}  // namespace tollvane
