#pragma once
// The wait for a ring's tone on Qt (app/ring_worker.h): a local event loop that repaints but
// delivers no user input; the desktop holds back timer events meanwhile, so no handler runs until
// the ring is over.

#include <QEventLoop>
#include <QObject>

#include "app/ring_worker.h"

namespace tollvane {

class QtToneWait : public RingingTone::Wait {
public:
    void wake() override;
    void wait(const std::function<bool()>& ended, int ms) override;

private:
    QObject m_receiver;  // on the UI thread: the worker's wakes come to it
    QEventLoop* m_loop = nullptr;
    const std::function<bool()>* m_ended = nullptr;  // what the loop waits for
};

}  // namespace tollvane
