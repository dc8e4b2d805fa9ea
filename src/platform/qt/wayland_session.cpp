#include "platform/qt/wayland_session.h"

#include <wayland-client.h>

#include <qpa/qplatformnativeinterface.h>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstring>

#include "xdg-activation-v1-client-protocol.h"

namespace tollvane {

namespace {

constexpr char kNoQtFrames[] = "QT_WAYLAND_DISABLE_WINDOWDECORATION";
constexpr char kLaunchToken[] = "XDG_ACTIVATION_TOKEN";
constexpr char kAppId[] = "tollvane";
constexpr int kMaxRoundTrips = 3;

// Set when the program, not the user, told Qt to draw no title bars.
bool g_weTurnedQtFramesOff = false;

// What the program uses of the compositor, on Qt's own connection to it. Its events come on a
// queue of their own, which only this code reads, so Qt's handling of the connection and this
// code never take each other's events.
class Compositor {
public:
    static Compositor& get() {
        static Compositor compositor;
        return compositor;
    }

    bool drawsFrames() const { return m_decorations; }
    bool hasActivation() const { return m_activation != nullptr; }

    // A token from the compositor, for `surface` if given; empty if it sends none.
    QString requestToken(wl_surface* surface) {
        if (!m_activation) return {};
        struct Answer {
            QString token;
            bool done = false;
        } answer;
        static const xdg_activation_token_v1_listener listener = {
            [](void* data, xdg_activation_token_v1*, const char* token) {
                auto* a = static_cast<Answer*>(data);
                a->token = QString::fromUtf8(token);
                a->done = true;
            }};
        xdg_activation_token_v1* request = xdg_activation_v1_get_activation_token(m_activation);
        xdg_activation_token_v1_add_listener(request, &listener, &answer);
        xdg_activation_token_v1_set_app_id(request, kAppId);
        if (surface) xdg_activation_token_v1_set_surface(request, surface);
        xdg_activation_token_v1_commit(request);
        // The compositor answers every commit with its token, as a rule at once.
        for (int i = 0; i < kMaxRoundTrips && !answer.done; ++i) {
            if (wl_display_roundtrip_queue(m_display, m_queue) < 0) break;
        }
        xdg_activation_token_v1_destroy(request);
        wl_display_flush(m_display);
        return answer.token;
    }

    void activate(const QString& token, wl_surface* surface) {
        if (!m_activation) return;
        xdg_activation_v1_activate(m_activation, token.toUtf8().constData(), surface);
        wl_display_flush(m_display);
    }

private:
    Compositor() {
        QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
        if (!native) return;
        m_display = static_cast<wl_display*>(
            native->nativeResourceForIntegration(QByteArrayLiteral("wl_display")));
        if (!m_display) return;
        m_queue = wl_display_create_queue(m_display);
        // A proxy of the display whose new objects (the registry, and what it binds) put their
        // events on this code's queue.
        auto* display = static_cast<wl_display*>(wl_proxy_create_wrapper(m_display));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(display), m_queue);
        m_registry = wl_display_get_registry(display);
        wl_proxy_wrapper_destroy(display);
        static const wl_registry_listener listener = {
            [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
                auto* self = static_cast<Compositor*>(data);
                if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0 &&
                    !self->m_activation) {
                    self->m_activation = static_cast<xdg_activation_v1*>(
                        wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
                } else if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0) {
                    // Qt asks for server-side frames where this is offered and the compositor
                    // then draws them; compositors that draw none (Weston, GNOME) lack it.
                    self->m_decorations = true;
                }
            },
            [](void*, wl_registry*, uint32_t) {}};
        wl_registry_add_listener(m_registry, &listener, this);
        wl_display_roundtrip_queue(m_display, m_queue);
    }

    // Lives until the program ends: its proxies go with Qt's connection.
    ~Compositor() = default;

    wl_display* m_display = nullptr;
    wl_event_queue* m_queue = nullptr;
    wl_registry* m_registry = nullptr;
    xdg_activation_v1* m_activation = nullptr;
    bool m_decorations = false;
};

wl_surface* surfaceOf(QWindow& window) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    return native ? static_cast<wl_surface*>(
                        native->nativeResourceForWindow(QByteArrayLiteral("surface"), &window))
                  : nullptr;
}

// Qt has read the setting by the time the first window is on the screen, and keeps what it
// read; then it is taken out of the environment again, so that programs started from here (the
// shop window's browser) draw their title bars as Qt would.
class GiveQtFramesBack : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && watched->isWindowType()) {
            qunsetenv(kNoQtFrames);
            deleteLater();
            qApp->removeEventFilter(this);
        }
        return QObject::eventFilter(watched, event);
    }
};

// Runs inside the application's constructor, once the platform is chosen.
void afterPlatformChosen() {
    if (!g_weTurnedQtFramesOff) return;
    if (onWayland())
        qApp->installEventFilter(new GiveQtFramesBack(qApp));
    else
        qunsetenv(kNoQtFrames);
}

}  // namespace

void prepareWaylandSession() {
    if (QCoreApplication::instance() || qEnvironmentVariableIsSet(kNoQtFrames)) return;
    qputenv(kNoQtFrames, "1");
    g_weTurnedQtFramesOff = true;
    qAddPreRoutine(afterPlatformChosen);
}

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool drawsOwnFrames() {
    return g_weTurnedQtFramesOff && onWayland() && !Compositor::get().drawsFrames();
}

QString activationTokenForHandOver() {
    QString launched = qEnvironmentVariable(kLaunchToken);
    qunsetenv(kLaunchToken);
    if (!onWayland()) return {};
    if (isActivationToken(launched)) return launched;
    const QString asked = Compositor::get().requestToken(nullptr);
    return isActivationToken(asked) ? asked : QString();
}

void bringToFront(QWidget& window, const QString& token) {
    if (!onWayland()) return;
    QWindow* handle = window.windowHandle();
    wl_surface* surface = handle ? surfaceOf(*handle) : nullptr;
    Compositor& compositor = Compositor::get();
    if (!surface || !compositor.hasActivation()) {
        QApplication::alert(&window);
        return;
    }
    const QString own = isActivationToken(token) ? token : compositor.requestToken(surface);
    if (own.isEmpty()) {
        QApplication::alert(&window);
        return;
    }
    compositor.activate(own, surface);
}

bool isActivationToken(const QString& token) {
    if (token.isEmpty() || token.size() > 255) return false;
    for (const QChar c : token) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f) return false;
    }
    return true;
}

}  // namespace tollvane
