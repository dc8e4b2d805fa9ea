#include "platform/qt/cursor_blink.h"

#include <QApplication>
#include <QEvent>
#include <QStyleHints>
#include <algorithm>

namespace tollvane {

CursorBlink::CursorBlink(int idleMs, QObject* parent)
    : QObject(parent),
      m_idleMs(std::max(idleMs, 1)),
      m_flashTime(QGuiApplication::styleHints()->cursorFlashTime()) {
    m_sinceInput.start();
    // One check per idle stretch, not a restart at every key or mouse move: the check looks at
    // how long ago the last input was and waits for the rest.
    m_idleCheck.setSingleShot(true);
    m_idleCheck.setTimerType(Qt::CoarseTimer);
    connect(&m_idleCheck, &QTimer::timeout, this, &CursorBlink::onIdleCheck);
    connect(QGuiApplication::styleHints(), &QStyleHints::cursorFlashTimeChanged, this,
            &CursorBlink::onFlashTimeChanged);
    qApp->installEventFilter(this);
    if (m_flashTime > 0) m_idleCheck.start(m_idleMs);
}

CursorBlink::~CursorBlink() {
    qApp->removeEventFilter(this);
    if (m_stopped) setFlashTime(m_flashTime);
}

bool CursorBlink::isUserInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
            return true;
        default:
            return false;
    }
}

bool CursorBlink::eventFilter(QObject* watched, QEvent* event) {
    // Only input that came from the window system: a program's own synthetic events are not the
    // user at the keyboard.
    if (isUserInput(*event) && event->spontaneous()) {
        m_sinceInput.restart();
        if (m_stopped) {
            resume();
        } else if (m_flashTime > 0 && !m_idleCheck.isActive()) {
            m_idleCheck.start(m_idleMs);
        }
    }
    return QObject::eventFilter(watched, event);
}

void CursorBlink::onIdleCheck() {
    if (m_stopped || m_flashTime <= 0) return;
    const qint64 left = m_idleMs - m_sinceInput.elapsed();
    if (left > 0) {
        m_idleCheck.start(static_cast<int>(left));
        return;
    }
    stop();
}

void CursorBlink::onFlashTimeChanged(int flashTime) {
    if (m_settingFlashTime) return;
    // The desktop changed its setting: blink at the new rate, or not at all.
    m_flashTime = flashTime;
    m_stopped = false;
    m_idleCheck.stop();
    if (m_flashTime > 0) {
        m_sinceInput.restart();
        m_idleCheck.start(m_idleMs);
    }
}

void CursorBlink::setFlashTime(int flashTime) {
    m_settingFlashTime = true;
    // A text box that has the focus restarts its blink timer from the new setting; with 0 it
    // stops the timer and leaves the cursor drawn.
    QApplication::setCursorFlashTime(flashTime);
    m_settingFlashTime = false;
}

void CursorBlink::stop() {
    m_stopped = true;
    setFlashTime(0);
}

void CursorBlink::resume() {
    m_stopped = false;
    setFlashTime(m_flashTime);
    m_idleCheck.start(m_idleMs);
}

}  // namespace tollvane
