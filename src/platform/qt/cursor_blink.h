#pragma once
// The text cursor blinks only while the user is at the program: after a stretch without keyboard
// or mouse input it stops, shown steady, and blinks again at the next input, as the desktops' own
// programs do. The blink rate is the desktop's; where the desktop says the cursor does not blink
// (a flash time of 0) nothing here changes that. A cursor that never stops blinking would redraw
// its box twice a second all day in a program that sits on the screen for hours.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace tollvane {

class CursorBlink : public QObject {
    Q_OBJECT
public:
    // How long the cursor goes on blinking after the last input, the desktops' usual 10 s.
    static constexpr int kDefaultIdleMs = 10000;

    // Watches the input of the whole application from now on. `idleMs` is the time after the last
    // input at which the cursor stops blinking.
    explicit CursorBlink(int idleMs = kDefaultIdleMs, QObject* parent = nullptr);
    ~CursorBlink() override;
    CursorBlink(const CursorBlink&) = delete;
    CursorBlink& operator=(const CursorBlink&) = delete;

    // True while the cursor is held steady for want of input.
    bool stopped() const { return m_stopped; }
    // The desktop's flash time (milliseconds for a whole on-off cycle; 0: no blinking).
    int flashTime() const { return m_flashTime; }

    // Whether `event` is the user's keyboard or mouse input.
    static bool isUserInput(const QEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onIdleCheck();
    void onFlashTimeChanged(int flashTime);
    void setFlashTime(int flashTime);
    void stop();
    void resume();

    int m_idleMs;
    int m_flashTime;
    bool m_stopped = false;
    bool m_settingFlashTime = false;  // our own change of the flash time, not the desktop's
    QElapsedTimer m_sinceInput;
    QTimer m_idleCheck;
};

}  // namespace tollvane
