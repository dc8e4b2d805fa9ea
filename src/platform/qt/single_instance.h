#pragma once
// One running program per user. The first start holds a lock file and listens on a local socket,
// both in the user's runtime folder; a later start finds the lock taken, tells the running program
// over the socket to come to the front, and ends. The lock names the process that holds it, so
// the lock of a killed program is taken over by the next start, and its socket file replaced.
//
// The request is one line, "show", followed on a Wayland desktop by a blank and the activation
// token that lets the running program take the focus. A running program of an earlier version
// knows only the plain "show" and cuts off anything else: then the request is sent again without
// the token.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>

namespace tollvane {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        First,       // this process is the one: it listens for later starts
        HandedOver,  // another process runs and has been asked to come to the front
        NoAnswer,    // another process holds the lock but does not answer
        Unguarded,   // the runtime folder cannot be used: run without the guard
    };

    // `folder` holds the socket and the lock; empty: the user's runtime folder. Without
    // $XDG_RUNTIME_DIR, Qt's fallback folder is per user name only, so there the names carry the
    // home folder's hash: a user (or a test) with another home runs a program of its own.
    explicit SingleInstance(const QString& folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the program's place, or hands over to the process that has it. Waits at most
    // `waitMs` for a running program that is still starting (or busy) to answer.
    Claim claim(int waitMs = 5000);
    // Where a hand-over gets the activation token it passes on; asked once, and only when another
    // program runs. Without it, or when it gives an empty or ill-formed token, none is passed.
    void setActivationTokenSource(std::function<QString()> source) {
        m_tokenSource = std::move(source);
    }

    // The user's runtime folder ($XDG_RUNTIME_DIR, or Qt's private fallback), or empty.
    static QString defaultFolder();
    QString socketPath() const { return m_folder + u'/' + m_name + QStringLiteral(".socket"); }
    QString lockPath() const { return m_folder + u'/' + m_name + QStringLiteral(".lock"); }
    // Why the last claim() did not give First; empty otherwise.
    QString errorString() const { return m_error; }
    // The process that holds the lock when claim() gave NoAnswer or HandedOver; 0 if unknown.
    qint64 holderPid() const;

signals:
    // A later start asked this one to come to the front, passing `activationToken` (empty: none).
    void secondStart(const QString& activationToken);

private:
    enum class Answer { Taken, CutOff, None };
    Answer askRunning(int timeoutMs, const QString& token);
    void answer();

    QString m_folder;
    QString m_name;
    QLockFile m_lock;
    QLocalServer m_server;
    QString m_error;
    std::function<QString()> m_tokenSource;
};

}  // namespace tollvane
