#pragma once
// A desktop program asked to end by its session or by `kill` (SIGTERM, SIGHUP, SIGINT) ends the
// way File > Exit ends it, so that what the user left in the window is saved.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace tollvane {

class EndSignals : public QObject {
    Q_OBJECT
public:
    // `onEnd` runs on the UI thread, in the event loop, after a signal has come (once for signals
    // that came together). The handler never blocks and leaves errno as it found it.
    explicit EndSignals(std::function<void()> onEnd, QObject* parent = nullptr);
    ~EndSignals() override;

private:
    std::function<void()> m_onEnd;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace tollvane
