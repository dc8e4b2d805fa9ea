#include "platform/qt/desktop_hold.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>

namespace tollvane {

namespace {

const QString kApp = QStringLiteral("Tollvane");
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPowerManagement = QStringLiteral("org.freedesktop.PowerManagement");
const QString kPowerPath = QStringLiteral("/org/freedesktop/PowerManagement/Inhibit");
const QString kPowerInterface = QStringLiteral("org.freedesktop.PowerManagement.Inhibit");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
// The portal's flags: 4 suspend, 8 idle (the screen blanked, the session marked idle).
constexpr uint kSuspend = 4;
constexpr uint kIdle = 8;

bool ringing(const SleepHold& hold) {
    return hold.kind == SleepHold::Kind::Ringing;
}

}  // namespace

DesktopHold::DesktopHold(const QDBusConnection& bus) : m_bus(bus) {}

DesktopHold::~DesktopHold() {
    release(m_held);
}

void DesktopHold::want(const SleepHold& hold) {
    if (hold != m_wanted) m_refused = false;
    m_wanted = hold;
    step();
}

void DesktopHold::retry() {
    m_refused = false;
    step();
}

// One change at a time. The new inhibition is taken before the old one is let go, so that the
// desktop is never free to suspend in between.
void DesktopHold::step() {
    if (m_asking) return;
    if (m_wanted == m_held.hold || (m_refused && m_wanted == m_taking.hold)) {
        emit settled();
        return;
    }
    if (m_wanted.kind == SleepHold::Kind::Nothing) {
        release(m_held);
        m_held = {};
        m_error.clear();
        emit settled();
        return;
    }
    m_taking = {m_wanted, {}, {}, {}};
    m_portalError.clear();
    m_powerError.clear();
    m_screenError.clear();
    if (!m_bus.isConnected()) {
        m_refused = true;
        m_error = "there is no session bus to reach the desktop";
        emit settled();
        return;
    }
    m_asking = true;
    askPortal();
}

void DesktopHold::askPortal() {
    QDBusMessage inhibit = QDBusMessage::createMethodCall(
        kPortal, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    const uint flags = ringing(m_taking.hold) ? kSuspend | kIdle : kSuspend;
    inhibit << QString() << flags << QVariantMap{{QStringLiteral("reason"), m_taking.hold.reason}};
    call(inhibit, [this](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            m_taking.portalHandle = reply.arguments().constFirst().value<QDBusObjectPath>().path();
            taken();
            return;
        }
        // No portal on this desktop, or none that can inhibit: the older interfaces.
        m_portalError = reply.errorMessage();
        askPowerManagement();
    });
}

void DesktopHold::askPowerManagement() {
    QDBusMessage inhibit = QDBusMessage::createMethodCall(
        kPowerManagement, kPowerPath, kPowerInterface, QStringLiteral("Inhibit"));
    inhibit << kApp << m_taking.hold.reason;
    call(inhibit, [this](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            m_taking.powerCookie = reply.arguments().constFirst().toUInt();
        else
            m_powerError = reply.errorMessage();
        if (ringing(m_taking.hold))
            askScreenSaver();
        else
            taken();
    });
}

void DesktopHold::askScreenSaver() {
    QDBusMessage inhibit = QDBusMessage::createMethodCall(kScreenSaver, kScreenSaverPath,
                                                          kScreenSaver, QStringLiteral("Inhibit"));
    inhibit << kApp << m_taking.hold.reason;
    call(inhibit, [this](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            m_taking.screenCookie = reply.arguments().constFirst().toUInt();
        else
            m_screenError = reply.errorMessage();
        taken();
    });
}

void DesktopHold::taken() {
    m_asking = false;
    const bool portal = !m_taking.portalHandle.isEmpty();
    const bool suspendHeld = portal || m_taking.powerCookie;
    const bool screenHeld = !ringing(m_taking.hold) || portal || m_taking.screenCookie;
    const std::string portalSaid = "the Inhibit portal: " + m_portalError.toStdString();
    m_error.clear();
    if (!suspendHeld)
        m_error = "the desktop cannot be asked to hold off suspend (" + portalSaid +
                  "; the power manager: " + m_powerError.toStdString() + ")";
    if (!screenHeld)
        m_error += std::string(m_error.empty() ? "" : ", and ") +
                   "the desktop cannot be asked to keep the screen on (" + portalSaid +
                   "; the screen saver: " + m_screenError.toStdString() + ")";
    if (!m_taking.any()) {
        // Nothing taken: what was held before stays, and nothing is asked again until the wish
        // changes or the computer resumes.
        m_refused = true;
        step();
        return;
    }
    release(m_held);
    m_held = m_taking;
    step();
}

void DesktopHold::release(const Held& held) {
    if (!held.portalHandle.isEmpty())
        m_bus.send(QDBusMessage::createMethodCall(kPortal, held.portalHandle,
                                                  QStringLiteral("org.freedesktop.portal.Request"),
                                                  QStringLiteral("Close")));
    if (held.powerCookie) {
        QDBusMessage uninhibit = QDBusMessage::createMethodCall(
            kPowerManagement, kPowerPath, kPowerInterface, QStringLiteral("UnInhibit"));
        uninhibit << *held.powerCookie;
        m_bus.send(uninhibit);
    }
    if (held.screenCookie) {
        QDBusMessage uninhibit = QDBusMessage::createMethodCall(
            kScreenSaver, kScreenSaverPath, kScreenSaver, QStringLiteral("UnInhibit"));
        uninhibit << *held.screenCookie;
        m_bus.send(uninhibit);
    }
}

void DesktopHold::call(const QDBusMessage& message,
                       std::function<void(const QDBusMessage&)> answered) {
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [answered = std::move(answered)](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                answered(done->reply());
            });
}

}  // namespace tollvane
