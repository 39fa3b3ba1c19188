#pragma once

#include "platform/DockPanel.h"

#include <QUuid>

#include <memory>
#include <vector>

// What a fake panel did, kept by the factory beyond the panel's own life so that tests can look
// at a panel after its controller dropped it.
struct FakeDockPanelState {
    QUuid dockID;
    QRectF frame;
    QString title;
    bool alwaysOnTop = false;
    bool onScreen = false;
    bool closed = false;
    bool destroyed = false;
    int orderFrontCount = 0;
    int setFrameCount = 0;
    std::function<void()> frameChanged;
    // Called as the panel is ordered out and closed, to check what had happened before.
    std::function<void()> onOrderOut;
    std::function<void()> onClose;

    // The user (or the window manager) moves or resizes the panel.
    void userSetsFrame(const QRectF& newFrame);
};

// A panel that only records what the controller asks of it.
class FakeDockPanel final : public DockPanel {
public:
    explicit FakeDockPanel(std::shared_ptr<FakeDockPanelState> state);
    ~FakeDockPanel() override;

    void setFrame(const QRectF& frame) override;
    QRectF frame() const override { return state_->frame; }
    void setTitle(const QString& title) override { state_->title = title; }
    void setAlwaysOnTop(bool alwaysOnTop) override { state_->alwaysOnTop = alwaysOnTop; }
    void orderFront() override;
    void orderOut() override;
    bool isOnScreen() const override { return state_->onScreen; }
    void close() override;
    void setFrameChangedHandler(std::function<void()> handler) override;

private:
    std::shared_ptr<FakeDockPanelState> state_;
};
