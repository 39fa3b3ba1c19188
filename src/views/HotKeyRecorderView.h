// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/HotKeyBinding.h"
#include "platform/Subscription.h"

#include <QWidget>

class HotKeyManager;
class KeyCodeTranslator;

// Shows a dock's hot key and records a new one: a click starts recording, the next key pressed
// with at least one modifier becomes the chord, the "×" at the right end clears it. While it
// records with the focus, the program's own hot keys are given up, so that a chord another dock
// holds reaches it instead of toggling that dock; the application's shortcuts and Tab are
// recorded too. It never grabs the keyboard: it hears keys only while it has the focus.
class HotKeyRecorderView final : public QWidget {
    Q_OBJECT
public:
    HotKeyRecorderView(HotKeyManager& hotKeys, const KeyCodeTranslator& keyCodes,
                       QWidget* parent = nullptr);
    ~HotKeyRecorderView() override;

    const HotKeyBinding& binding() const { return binding_; }
    // The chord to show: the dock's, after every change of the store.
    void setBinding(const HotKeyBinding& binding);
    bool isRecording() const { return isRecording_; }
    // What is drawn: "Press keys…", the chord, or "Click to record".
    QString label() const;
    QSize sizeHint() const override { return {160, 24}; }

Q_SIGNALS:
    void captured(std::uint32_t keyCode, std::uint32_t modifiers);
    void cleared();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setRecording(bool recording);
    void updateSuspension();
    bool inClearZone(double x) const;

    HotKeyManager& hotKeys_;
    const KeyCodeTranslator& keyCodes_;
    HotKeyBinding binding_;
    bool isRecording_ = false;
    bool hasFocus_ = false;
    Subscription suspension_;
};
