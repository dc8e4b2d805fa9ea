#pragma once
// The browser program's side of the connection to the main program. One JSON object per line,
// each way:
//   commands  {"command":"show","title":T}   make the window if there is none, show and raise it
//             {"command":"navigate","url":U} load U afresh in the window (ignored without one)
//             {"command":"inspect"}          report the window's state and the page's text
//             {"command":"quit"}             end the program
//   events    {"event":"shown","window":ID}  ID is the native window id
//             {"event":"loaded","result":"ok"|"error","url":U}
//             {"event":"closed"}             the user closed the window, which is gone now
//             {"event":"inspected","window":ID,"title":T,"url":U,"text":X,
//              "clientWidth":W,"clientHeight":H,"browserGeometry":[x,y,w,h]}
// The program ends when the main program's end of the connection goes away.

#include <QByteArray>
#include <QJsonObject>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <QString>

class QWebEngineProfile;

namespace tollvane::browser {

class Form1Window;

class BrowserHost : public QObject {
    Q_OBJECT
public:
    explicit BrowserHost(QObject* parent = nullptr);
    ~BrowserHost() override;

    // Connects to the main program's local server (a server name or a socket path).
    void connectTo(const QString& serverName);

private:
    void readCommands();
    void handleCommand(const QByteArray& line);
    void show(const QString& title);
    void navigate(const QString& url);
    void inspect();
    void report(const QJsonObject& event);
    QWebEngineProfile* profile();

    QLocalSocket m_socket;
    bool m_connected = false;
    QWebEngineProfile* m_profile = nullptr;  // made with the first window, kept to the end
    QPointer<Form1Window> m_window;          // at most one
};

}  // namespace tollvane::browser
