// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DockPanel.h"

#include <QUuid>

#include <memory>

// What a fake panel did, kept by the factory beyond the panel's own life so that tests can look
// at a panel after its controller dropped it.
struct FakeDockPanelState {
    QUuid dockId;
    QRectF frame;
    QString title;
    bool alwaysOnTop = false;
    bool onScreen = false;
    bool closed = false;
    bool destroyed = false;
    int orderFrontCount = 0;
    int setFrameCount = 0;
    // Every request the controller made: frame, title, level, showing and hiding.
    int requests = 0;
    std::function<void()> frameChanged;
    // Called as the panel is ordered out and closed, to check what had happened before.
    std::function<void()> onOrderOut;
    std::function<void()> onClose;

    // The user (or the window manager) moves or resizes the panel.
    void userSetsFrame(const QRectF& newFrame) {
        frame = newFrame;
        if (frameChanged)
            frameChanged();
    }
};

// A panel that only records what the controller asks of it.
class FakeDockPanel final : public DockPanel {
public:
    explicit FakeDockPanel(std::shared_ptr<FakeDockPanelState> state) : state_(std::move(state)) {}
    ~FakeDockPanel() override {
        state_->destroyed = true;
        state_->frameChanged = {};
    }

    // Like a real panel: its own frame changes are not reported, only the user's.
    void setFrame(const QRectF& frame) override {
        ++state_->requests;
        ++state_->setFrameCount;
        state_->frame = frame;
    }
    QRectF frame() const override { return state_->frame; }
    void setTitle(const QString& title) override {
        ++state_->requests;
        state_->title = title;
    }
    void setAlwaysOnTop(bool alwaysOnTop) override {
        ++state_->requests;
        state_->alwaysOnTop = alwaysOnTop;
    }
    void showPanel() override {
        ++state_->requests;
        ++state_->orderFrontCount;
        state_->onScreen = true;
    }
    void hidePanel() override {
        ++state_->requests;
        if (state_->onOrderOut)
            state_->onOrderOut();
        state_->onScreen = false;
    }
    bool isOnScreen() const override { return state_->onScreen; }
    void close() override {
        if (state_->onClose)
            state_->onClose();
        state_->onScreen = false;
        state_->closed = true;
    }
    void setFrameChangedHandler(std::function<void()> handler) override {
        state_->frameChanged = std::move(handler);
    }

private:
    std::shared_ptr<FakeDockPanelState> state_;
};
