#include "fakes/FakeDockPanel.h"

void FakeDockPanelState::userSetsFrame(const QRectF& newFrame) {
    frame = newFrame;
    if (frameChanged)
        frameChanged();
}

FakeDockPanel::FakeDockPanel(std::shared_ptr<FakeDockPanelState> state)
    : state_(std::move(state)) {}

FakeDockPanel::~FakeDockPanel() {
    state_->destroyed = true;
    state_->frameChanged = {};
}

void FakeDockPanel::setFrame(const QRectF& frame) {
    ++state_->setFrameCount;
    // Like a real window: only an actual change is reported.
    if (frame == state_->frame)
        return;
    state_->userSetsFrame(frame);
}

void FakeDockPanel::orderFront() {
    ++state_->orderFrontCount;
    state_->onScreen = true;
}

void FakeDockPanel::orderOut() {
    if (state_->onOrderOut)
        state_->onOrderOut();
    state_->onScreen = false;
}

void FakeDockPanel::close() {
    if (state_->onClose)
        state_->onClose();
    state_->onScreen = false;
    state_->closed = true;
}

void FakeDockPanel::setFrameChangedHandler(std::function<void()> handler) {
    state_->frameChanged = std::move(handler);
}
