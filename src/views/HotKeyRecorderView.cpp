// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/HotKeyRecorderView.h"

#include "platform/KeyCodeTranslator.h"
#include "runtime/HotKeyManager.h"
#include "runtime/KeyChordFormatter.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

constexpr double clearZoneWidth = 20;

// Keys that only ever modify another: a chord needs a key besides them.
bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

QFont labelFont(const QFont& base) {
    QFont font = base;
    // A point of the layout is a logical pixel.
    font.setPixelSize(11);
    return font;
}

} // namespace

HotKeyRecorderView::HotKeyRecorderView(HotKeyManager& hotKeys, const KeyCodeTranslator& keyCodes,
                                       QWidget* parent)
    : QWidget(parent), hotKeys_(hotKeys), keyCodes_(keyCodes) {
    // Reached with Tab; Return or Space starts recording, Escape stops it.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setCursor(Qt::PointingHandCursor);
}

HotKeyRecorderView::~HotKeyRecorderView() = default;

void HotKeyRecorderView::setBinding(const HotKeyBinding& binding) {
    if (binding == binding_)
        return;
    binding_ = binding;
    update();
}

QString HotKeyRecorderView::label() const {
    if (isRecording_)
        return tr("Press keys\u2026");
    if (binding_.keyCode)
        return KeyChordFormatter::string(binding_.keyCode, binding_.modifiers);
    return tr("Click to record");
}

bool HotKeyRecorderView::inClearZone(double x) const {
    return binding_.keyCode && x >= width() - clearZoneWidth;
}

void HotKeyRecorderView::setRecording(bool recording) {
    if (recording == isRecording_)
        return;
    isRecording_ = recording;
    updateSuspension();
    update();
}

void HotKeyRecorderView::updateSuspension() {
    // Our grabs go only while a key can reach us: recording, shown and focused. A recorder left
    // recording in a window in the background gives the docks their hot keys back.
    const bool wanted = isRecording_ && hasFocus_ && isVisible();
    if (wanted && !suspension_.isActive())
        suspension_ = hotKeys_.suspend();
    else if (!wanted)
        suspension_.cancel();
}

bool HotKeyRecorderView::event(QEvent* event) {
    if (isRecording_) {
        // Claimed before the application's shortcuts see it (Ctrl+W, Ctrl+Q...), and before
        // Tab and Shift+Tab move the focus: while recording, every key is a candidate chord.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return QWidget::event(event);
}

void HotKeyRecorderView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (inClearZone(event->position().x())) {
        binding_ = {};
        setRecording(false);
        update();
        Q_EMIT cleared();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    setRecording(true);
}

void HotKeyRecorderView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!isRecording_) {
        // The keyboard's way to the mouse's: a click records, the "x" clears.
        if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
            setRecording(true);
        } else if (plain && (key == Qt::Key_Delete || key == Qt::Key_Backspace) &&
                   binding_.keyCode) {
            binding_ = {};
            update();
            Q_EMIT cleared();
        } else {
            QWidget::keyPressEvent(event);
            return;
        }
        event->accept();
        return;
    }
    event->accept();
    if (plain && key == Qt::Key_Escape) {
        setRecording(false);
        return;
    }
    if (isModifierKey(key))
        return;
    const std::uint32_t mask = KeyChordFormatter::carbonFlags(event->modifiers());
    if (mask == 0)
        return;
    const auto keyCode = keyCodes_.virtualKeyCode(event->nativeScanCode());
    if (!keyCode)
        return;
    binding_ = {*keyCode, mask};
    // The docks' own chords come back before the new one is stored: when it is one another dock
    // holds, that dock keeps it and this one is refused, rather than the other way round.
    setRecording(false);
    Q_EMIT captured(*keyCode, mask);
}

void HotKeyRecorderView::focusInEvent(QFocusEvent* event) {
    hasFocus_ = true;
    updateSuspension();
    QWidget::focusInEvent(event);
}

void HotKeyRecorderView::focusOutEvent(QFocusEvent* event) {
    hasFocus_ = false;
    updateSuspension();
    QWidget::focusOutEvent(event);
}

void HotKeyRecorderView::hideEvent(QHideEvent* event) {
    // A closed window records nothing; its recorder must not keep the hot keys away.
    setRecording(false);
    QWidget::hideEvent(event);
}

void HotKeyRecorderView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::Base);
    if (isRecording_) {
        fill = palette().color(QPalette::Highlight);
        fill.setAlphaF(0.2f);
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);

    const QFont font = labelFont(this->font());
    painter.setFont(font);
    const double height = QFontMetricsF(font).height();
    const double y = (this->height() - height) / 2;
    painter.setPen(palette().color(QPalette::WindowText));
    const double labelWidth = width() - 8 - (binding_.keyCode ? clearZoneWidth : 0);
    painter.drawText(QRectF(8, y, labelWidth, height), Qt::AlignLeft | Qt::AlignTop,
                     QFontMetricsF(font).elidedText(label(), Qt::ElideRight, labelWidth));
    if (binding_.keyCode) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(QRectF(width() - 16, y, 16, height), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("\u00D7"));
    }
}
