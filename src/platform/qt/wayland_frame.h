#pragma once
// The frame that the program draws around a window of its own on a Wayland desktop whose
// compositor draws none (see wayland_session.h): a title bar with the window's icon, its title
// and the buttons its flags allow, and a thin border all round, by which a resizable window is
// resized. A button that the window's flags leave out is not there at all: the main window gets
// no maximize button, the About window only the close box.
//
// The frame lies inside the window, in its contents margins, so a window that sets its own size
// adds contentsMargins() to the size of what it shows; a window laid out by a layout needs
// nothing, its layout leaves the margins free.

#include <QAbstractButton>
#include <QObject>
#include <QPointer>

class QWidget;

namespace tollvane {

class WaylandFrame : public QObject {
    Q_OBJECT
public:
    static constexpr int kTitleHeight = 26;  // the title bar, its top border included
    static constexpr int kBorder = 3;        // left, right and bottom

    // Whether windows get the program's own frame: decided once by the session
    // (drawsOwnFrames()); a test may decide otherwise.
    static bool wanted();
    static void setWanted(bool wanted);

    // Frames the top-level `window` where frames are wanted; a window is framed once. Returns its
    // frame, or nullptr.
    static WaylandFrame* addWhereWanted(QWidget& window);
    // Frames the top-level `window` whether wanted or not.
    static WaylandFrame* add(QWidget& window);
    // The frame of `window`, or nullptr.
    static WaylandFrame* of(const QWidget& window);

    // The title bar's buttons; nullptr where the window has none of the kind. The maximize button
    // shows only while the window can be resized (looked at as the window is shown or resized).
    QAbstractButton* minimizeButton() const { return m_minimize; }
    QAbstractButton* maximizeButton() const { return m_maximize; }
    QAbstractButton* closeButton() const { return m_close; }
    QWidget* titleBar() const;
    // Dragging the border resizes the window: it has no fixed size.
    bool resizable() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TitleBar;
    class Edge;
    explicit WaylandFrame(QWidget& window);
    void place();
    void toggleMaximized();

    QWidget& m_window;
    TitleBar* m_titleBar = nullptr;
    Edge* m_left = nullptr;
    Edge* m_right = nullptr;
    Edge* m_bottom = nullptr;
    QPointer<QAbstractButton> m_minimize;
    QPointer<QAbstractButton> m_maximize;
    QPointer<QAbstractButton> m_close;
};

}  // namespace tollvane
