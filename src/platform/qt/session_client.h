#pragma once
// The program in the desktop's session. The session manager asks its clients to save themselves
// at every checkpoint ("save session now", the start of a logout that the user may still cancel):
// the program then saves what the user left in the window and goes on. Only the session's end
// (the manager's "die") ends it, the way File > Exit does.

#include <QObject>

namespace tollvane {

class Desktop;

class SessionClient : public QObject {
    Q_OBJECT
public:
    explicit SessionClient(Desktop& desktop, QObject* parent = nullptr);
    ~SessionClient() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Desktop& m_desktop;
};

}  // namespace tollvane
