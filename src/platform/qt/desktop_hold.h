#pragma once
// The desktop asked not to suspend by itself, on the session bus, as GNOME, KDE and Xfce decide
// automatic suspend and screen blanking themselves: the Inhibit portal where one answers, else
// org.freedesktop.PowerManagement for suspend and org.freedesktop.ScreenSaver for the screen.
// While an alarm waits: suspend. From the wake until the ring has ended: suspend and idle, so that
// the screen stays on. Each service lets go of what a program held when it leaves the bus.
//
// Lives on the bus thread (sleep_guard.h).

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "platform/qt/sleep_hold.h"

class QDBusMessage;

namespace tollvane {

class DesktopHold : public QObject {
    Q_OBJECT
public:
    // `bus`: the session bus, or a connection that is not connected where there is none.
    explicit DesktopHold(const QDBusConnection& bus);
    ~DesktopHold() override;
    DesktopHold(const DesktopHold&) = delete;
    DesktopHold& operator=(const DesktopHold&) = delete;

    void want(const SleepHold& hold);
    // Asks again where the desktop refused before.
    void retry();
    bool busy() const { return m_asking; }
    // Why the desktop could not be asked for all that is wanted; empty when nothing failed.
    std::string error() const { return m_error; }

signals:
    // No call to the desktop is on its way.
    void settled();

private:
    // One inhibition of the desktop's, by whichever service took it.
    struct Held {
        SleepHold hold;
        QString portalHandle;              // the portal's request, closed to let go
        std::optional<uint> powerCookie;   // PowerManagement's
        std::optional<uint> screenCookie;  // ScreenSaver's
        bool any() const { return !portalHandle.isEmpty() || powerCookie || screenCookie; }
    };

    void step();
    void askPortal();
    void askPowerManagement();
    void askScreenSaver();
    void taken();
    void release(const Held& held);
    // Sends `call`, then runs `answered` with the reply on this thread.
    void call(const QDBusMessage& call, std::function<void(const QDBusMessage&)> answered);

    QDBusConnection m_bus;
    SleepHold m_wanted;
    Held m_held;
    Held m_taking;  // being taken, to replace m_held once complete
    bool m_asking = false;
    bool m_refused = false;  // the services refused m_taking.hold; not asked again until retry()
    QString m_portalError;   // why each service refused m_taking
    QString m_powerError;
    QString m_screenError;
    std::string m_error;
};

}  // namespace tollvane
