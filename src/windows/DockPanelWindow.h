#pragma once

#include "platform/DockPanel.h"

#include <QWidget>

class WindowHints;

// A dock's floating panel on the desktop: a frameless tool window kept out of task bars and
// pagers, on every workspace, shown without taking the focus (a click still focuses it), above
// ordinary windows while the dock asks for it. Its frame is given in the docks' space.
class DockPanelWindow final : public QWidget, public DockPanel {
    Q_OBJECT
public:
    // The hints must outlive the panel.
    DockPanelWindow(const QRectF& frame, WindowHints& hints);
    ~DockPanelWindow() override;

    // Takes the widget that fills the panel.
    void setContent(QWidget* content);

    void setFrame(const QRectF& frame) override;
    QRectF frame() const override;
    void setTitle(const QString& title) override;
    void setAlwaysOnTop(bool alwaysOnTop) override;
    void orderFront() override;
    void orderOut() override;
    bool isOnScreen() const override;
    void close() override;
    void setFrameChangedHandler(std::function<void()> handler) override;

    // The window geometry in Qt's coordinates for a frame in the docks' space: sizes from 48 up
    // to the virtual desktop's (the union of the screens; up to what X carries when it is
    // empty), positions within X's 16-bit range; not-a-number reads as 0. The stored frame is
    // left as it is: only the window is bounded.
    static QRect geometryForFrame(const QRectF& frame, const QRect& primaryScreen,
                                  const QRect& virtualDesktop);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void frameChanged();

    WindowHints& hints_;
    std::function<void()> frameChangedHandler_;
    // Above ordinary windows, as panels start. Kept here rather than in Qt's window flags, which
    // make Qt recreate the native window when they change.
    bool alwaysOnTop_ = true;
};
