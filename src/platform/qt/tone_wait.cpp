#include "platform/qt/tone_wait.h"

#include <QTimer>

namespace tollvane {

void QtToneWait::wake() {
    QMetaObject::invokeMethod(
        &m_receiver,
        [this] {
            if (m_loop && (*m_ended)()) m_loop->quit();
        },
        Qt::QueuedConnection);
}

void QtToneWait::wait(const std::function<bool()>& ended, int ms) {
    QEventLoop loop;
    m_loop = &loop;
    m_ended = &ended;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);  // the watchdog; for silence, its length
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_loop = nullptr;
    m_ended = nullptr;
}

}  // namespace tollvane
