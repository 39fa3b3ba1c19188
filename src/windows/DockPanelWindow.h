// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DockPanel.h"

#include <QWidget>

#include <optional>

class WindowHints;

// A dock's floating panel on the desktop: a frameless tool window kept out of task bars and
// pagers, on every workspace, above ordinary windows while the dock asks for it. It never takes
// the keyboard from the user's application, neither when shown nor on a click, except while one
// of its fields asks for it. The compositor blurs behind its rounded shape only. Its frame is
// given in the docks' space.
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
    void showPanel() override;
    void hidePanel() override;
    bool isOnScreen() const override;
    void close() override;
    void setFrameChangedHandler(std::function<void()> handler) override;

    // The corner radius of the rounded shape that the compositor blurs behind.
    void setCornerRadius(double radius);
    // While true the panel takes the keyboard (a click focuses it, and it asks for the focus at
    // once); while false a click leaves the focus where it is.
    void setAcceptsKeyboardFocus(bool accepts);
    bool acceptsKeyboardFocus() const { return acceptsFocus_; }
    // Moves the panel by as much as the pointer moves until its button is released, for a
    // window system that moves no window for us (a layer surface): one move, at the release.
    void moveByHand();
    // The region behind a panel of that size with that corner radius.
    static QRegion blurRegion(const QSize& size, double cornerRadius);

    // The window geometry in Qt's coordinates for a frame in the docks' space: sizes from 48 up
    // to the virtual desktop's (the union of the screens; up to what X carries when it is
    // empty), positions within X's 16-bit range; not-a-number reads as 0. The stored frame is
    // left as it is: only the window is bounded.
    static QRect geometryForFrame(const QRectF& frame, const QRect& primaryScreen,
                                  const QRect& virtualDesktop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Tells the controller of a frame change the user made; keeps placement and mapping out.
    void geometryReported(bool fromWindowSystem);
    void updateBlurRegion();

    WindowHints& hints_;
    std::function<void()> frameChangedHandler_;
    // Above ordinary windows, as panels start. Kept here rather than in Qt's window flags, which
    // make Qt recreate the native window when they change.
    bool alwaysOnTop_ = true;
    bool acceptsFocus_ = false;
    double cornerRadius_ = 0;
    // The geometry the panel last asked for, or the user last gave it.
    QRect requested_;
    // From a show until the window is mapped (or the user touches it): what the window system
    // reports meanwhile is placement.
    bool placing_ = false;
    bool reasserted_ = false;
    // While moving by hand: where the pointer and the panel were when the button went down.
    std::optional<QPointF> handMovePointer_;
    QPoint handMoveOrigin_;
};
