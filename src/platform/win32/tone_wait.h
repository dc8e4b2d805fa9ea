#pragma once
// The wait for a ring's tone on Windows (app/ring_worker.h): a loop of its own that paints and
// serves messages sent or posted to the program's windows, but leaves the user's input in the
// queue: clicks and keys are handled once the ring is over, in the order they came.

#include "app/ring_worker.h"
#include "platform/win32/api.h"
#include "platform/win32/handles.h"

namespace tollvane::win32 {

class Win32ToneWait : public RingingTone::Wait {
public:
    void wake() override { SetEvent(m_toneEnded.get()); }
    void wait(const std::function<bool()>& ended, int ms) override;

private:
    KernelHandle m_toneEnded{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

}  // namespace tollvane::win32
