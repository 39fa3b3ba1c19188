// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CoalescedTask.h"
#include "platform/HotKeyBackend.h"

#include <QDBusConnection>
#include <QObject>

#include <map>
#include <optional>
#include <set>

class QDBusMessage;
class Scheduler;

// Hot keys through the desktop portal's GlobalShortcuts, for a Wayland session: one shortcut per
// grab, listed under its label with the chord as its preferred trigger, all bound together in a
// session of the portal's. Every call is asynchronous: a slow, missing or failing portal leaves
// grabs waiting or answers them refused, and never holds the program up. Presses come from the
// portal's Activated signal.
class PortalHotKeys final : public QObject, public HotKeyBackend {
    Q_OBJECT
public:
    // Joins the session bus only once there is a shortcut to bind.
    explicit PortalHotKeys(Scheduler& scheduler);
    ~PortalHotKeys() override;

    void setPressHandler(PressHandler handler) override { pressHandler_ = std::move(handler); }
    void setAnswerHandler(AnswerHandler handler) override { answerHandler_ = std::move(handler); }
    std::optional<Handle> grab(std::uint32_t keyCode, std::uint32_t modifiers,
                               std::uint32_t hotKeyId, const Label& label) override;
    void release(Handle handle) override;
    bool rebind(Handle handle, std::uint32_t hotKeyId, const Label& label) override;
    // The command stays on offer: the user may refuse the portal, or bind another key to it.
    bool firesEverywhere() const override { return false; }

private Q_SLOTS:
    void responded(const QDBusMessage& message);
    void activated(const QDBusMessage& message);
    void deactivated(const QDBusMessage& message);
    void shortcutsChanged(const QDBusMessage& message);

private:
    // The request under way; one at a time.
    enum class Step { none, version, session, bind, list };
    struct Shortcut {
        std::uint32_t hotKeyId = 0;
        Label label;
        QString preferredTrigger;
        std::optional<Answer> answer;
    };

    void synchronise();
    void call(Step step, QDBusMessage message);
    void failed(Step step, const QString& error);
    void openSession();
    void bindShortcuts();
    void listShortcuts();
    void closeSession();
    // Answers the shortcuts the request under way sent, ends it, and binds again what changed
    // meanwhile.
    void settle();
    void answer(Handle handle, const Answer& answer);
    std::optional<Handle> handleOf(const QString& id) const;
    // Whether a signal speaks of our current session (its first argument).
    bool aboutOurSession(const QDBusMessage& message) const;
    QString nextToken();
    // A fresh handle token for the next request, whose Response is then awaited on its path.
    QString expectResponse();

    QDBusConnection& bus();

    std::optional<QDBusConnection> bus_;
    std::map<Handle, Shortcut> shortcuts_;
    Handle nextHandle_ = 1;
    PressHandler pressHandler_;
    AnswerHandler answerHandler_;

    bool versionKnown_ = false;
    bool unavailable_ = false;
    bool listening_ = false;
    Step step_ = Step::none;
    // Ends the wait for a reply that a Response got ahead of.
    std::uint64_t callSerial_ = 0;
    QString request_;
    QString session_;
    // The set changed while a request was under way: bind it again once that is done.
    bool changed_ = false;
    // The ids the session under way binds, and the triggers the portal has named for them.
    std::map<QString, Handle> sent_;
    std::map<QString, QString> assigned_;
    // Shortcuts pressed and not yet let go, where the portal reports letting go at all.
    std::set<QString> held_;
    bool releasesSeen_ = false;
    std::uint64_t tokens_ = 0;
    CoalescedTask sync_;
};
