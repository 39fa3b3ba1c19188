// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/PortalHotKeys.h"

#include "runtime/KeyChordFormatter.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QLoggingCategory>

// One entry of the portal's a(sa{sv}) shortcut lists: an id and its properties.
struct PortalShortcutEntry {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(PortalShortcutEntry)

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcutEntry& entry) {
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcutEntry& entry) {
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

// Beside the start-up line that names the session's backends: what became of the portal.
Q_LOGGING_CATEGORY(lcShortcutPortal, "moorline.session.shortcuts", QtInfoMsg)

namespace {

using PortalShortcutList = QList<PortalShortcutEntry>;

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

QDBusMessage portalCall(const QString& method) {
    return QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
}

QString pathOf(const QVariant& value) {
    // The session handle is documented as a string holding a path; some portals send a path.
    if (value.typeId() == qMetaTypeId<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

PortalShortcutList shortcutsIn(const QVariant& value) {
    return value.typeId() == qMetaTypeId<QDBusArgument>() ? qdbus_cast<PortalShortcutList>(value)
                                                          : PortalShortcutList();
}

} // namespace

PortalHotKeys::PortalHotKeys(Scheduler& scheduler) : sync_(scheduler, [this] { synchronise(); }) {
    qDBusRegisterMetaType<PortalShortcutEntry>();
    qDBusRegisterMetaType<PortalShortcutList>();
}

PortalHotKeys::~PortalHotKeys() {
    closeSession();
}

std::optional<HotKeyBackend::Handle> PortalHotKeys::grab(std::uint32_t keyCode,
                                                         std::uint32_t modifiers,
                                                         std::uint32_t hotKeyId,
                                                         const Label& label) {
    const QString trigger = KeyChordFormatter::xdgTrigger(keyCode, modifiers);
    if (unavailable_ || trigger.isEmpty())
        return std::nullopt;
    // One chord, one shortcut, as on X11: a second dock with it goes without.
    for (const auto& [handle, shortcut] : shortcuts_)
        if (shortcut.preferredTrigger == trigger)
            return std::nullopt;
    const Handle handle = nextHandle_++;
    shortcuts_.emplace(handle, Shortcut{hotKeyId, label, trigger, std::nullopt});
    sync_.request();
    return handle;
}

void PortalHotKeys::release(Handle handle) {
    const auto found = shortcuts_.find(handle);
    if (found == shortcuts_.end())
        return;
    held_.erase(found->second.label.id);
    shortcuts_.erase(found);
    sync_.request();
}

bool PortalHotKeys::rebind(Handle handle, std::uint32_t hotKeyId, const Label& label) {
    const auto found = shortcuts_.find(handle);
    if (found == shortcuts_.end())
        return false;
    found->second.hotKeyId = hotKeyId;
    if (found->second.label != label) {
        found->second.label = label;
        found->second.answer.reset();
        sync_.request();
    }
    return true;
}

void PortalHotKeys::synchronise() {
    if (step_ != Step::none) {
        changed_ = true;
        return;
    }
    changed_ = false;
    if (unavailable_)
        return;
    if (!versionKnown_) {
        QDBusMessage ask = QDBusMessage::createMethodCall(
            portalService, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        ask << shortcutsInterface << QStringLiteral("version");
        call(Step::version, ask);
        return;
    }
    // A fresh session for every set: some portals bind a session's shortcuts only once.
    closeSession();
    if (!shortcuts_.empty())
        openSession();
}

void PortalHotKeys::call(Step step, QDBusMessage message) {
    step_ = step;
    const std::uint64_t serial = ++callSerial_;
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, step, serial](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (serial != callSerial_)
                    return;
                const QDBusMessage reply = finished->reply();
                if (reply.type() == QDBusMessage::ErrorMessage) {
                    failed(step, reply.errorMessage());
                } else if (step == Step::version) {
                    const uint version =
                        qdbus_cast<QDBusVariant>(reply.arguments().value(0)).variant().toUInt();
                    if (version == 0) {
                        failed(step, QStringLiteral("no version"));
                        return;
                    }
                    qCInfo(lcShortcutPortal).noquote()
                        << "hot keys: the GlobalShortcuts portal, version" << version
                        << "and \"moorline --toggle DOCK\"";
                    versionKnown_ = true;
                    step_ = Step::none;
                    synchronise();
                } else if (const QString handle =
                               qdbus_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
                           !handle.isEmpty()) {
                    // Portals older than the handle token chose the request's path themselves.
                    request_ = handle;
                }
            });
}

void PortalHotKeys::failed(Step step, const QString& error) {
    if (step == Step::version) {
        qCInfo(lcShortcutPortal).noquote()
            << "hot keys: no GlobalShortcuts portal (" + error +
                   "); \"moorline --toggle DOCK\" bound in the compositor";
        unavailable_ = true;
        for (const auto& [handle, shortcut] : shortcuts_)
            answer(handle, {Answer::Status::unavailable, {}});
        step_ = Step::none;
        return;
    }
    qCWarning(lcShortcutPortal).noquote() << "the GlobalShortcuts portal failed:" << error;
    settle();
}

QDBusConnection& PortalHotKeys::bus() {
    if (!bus_)
        bus_ = QDBusConnection::sessionBus();
    return *bus_;
}

QString PortalHotKeys::nextToken() {
    return QStringLiteral("moorline%1").arg(++tokens_);
}

QString PortalHotKeys::expectResponse() {
    const QString token = nextToken();
    // Known before the call, so that an answer sent before the reply is not missed.
    request_ = u"/org/freedesktop/portal/desktop/request/"_qs +
               bus().baseService().mid(1).replace(u'.', u'_') + u'/' + token;
    return token;
}

void PortalHotKeys::openSession() {
    if (!listening_) {
        listening_ = true;
        // Every request's answer, matched to the one under way by its path.
        bus().connect(portalService, QString(), requestInterface, QStringLiteral("Response"), this,
                      SLOT(responded(QDBusMessage)));
        for (const auto& [name, slot] :
             {std::pair{"Activated", SLOT(activated(QDBusMessage))},
              std::pair{"Deactivated", SLOT(deactivated(QDBusMessage))},
              std::pair{"ShortcutsChanged", SLOT(shortcutsChanged(QDBusMessage))}})
            bus().connect(portalService, portalPath, shortcutsInterface, QLatin1String(name), this,
                          slot);
    }
    sent_.clear();
    assigned_.clear();
    for (const auto& [handle, shortcut] : shortcuts_)
        sent_.emplace(shortcut.label.id, handle);
    QDBusMessage create = portalCall(QStringLiteral("CreateSession"));
    create << QVariantMap{{QStringLiteral("handle_token"), expectResponse()},
                          {QStringLiteral("session_handle_token"), nextToken()}};
    call(Step::session, create);
}

void PortalHotKeys::bindShortcuts() {
    PortalShortcutList list;
    for (const auto& [id, handle] : sent_) {
        const Shortcut& shortcut = shortcuts_.at(handle);
        list.append({id,
                     {{QStringLiteral("description"),
                       shortcut.label.description.isEmpty() ? id : shortcut.label.description},
                      {QStringLiteral("preferred_trigger"), shortcut.preferredTrigger}}});
    }
    QDBusMessage bind = portalCall(QStringLiteral("BindShortcuts"));
    bind << QVariant::fromValue(QDBusObjectPath(session_)) << QVariant::fromValue(list) << QString()
         << QVariantMap{{QStringLiteral("handle_token"), expectResponse()}};
    call(Step::bind, bind);
}

void PortalHotKeys::listShortcuts() {
    QDBusMessage list = portalCall(QStringLiteral("ListShortcuts"));
    list << QVariant::fromValue(QDBusObjectPath(session_))
         << QVariantMap{{QStringLiteral("handle_token"), expectResponse()}};
    call(Step::list, list);
}

void PortalHotKeys::responded(const QDBusMessage& message) {
    if (step_ == Step::none || step_ == Step::version || message.path() != request_)
        return;
    // The reply to the call, should it come after this, has nothing more to say.
    ++callSerial_;
    const bool granted = message.arguments().value(0).toUInt() == 0;
    const QVariantMap results = qdbus_cast<QVariantMap>(message.arguments().value(1));
    const Step step = std::exchange(step_, Step::none);
    if (granted && step == Step::session) {
        session_ = pathOf(results.value(QStringLiteral("session_handle")));
        if (!session_.isEmpty()) {
            bindShortcuts();
            return;
        }
    } else if (granted) {
        // What the bind answers, the list confirms: a portal may answer the bind with less.
        for (const PortalShortcutEntry& entry :
             shortcutsIn(results.value(QStringLiteral("shortcuts")))) {
            const QString trigger =
                entry.properties.value(QStringLiteral("trigger_description")).toString();
            if (!trigger.isEmpty() || !assigned_.count(entry.id))
                assigned_[entry.id] = trigger;
        }
        if (step == Step::bind) {
            listShortcuts();
            return;
        }
    }
    settle();
}

void PortalHotKeys::settle() {
    step_ = Step::none;
    for (const auto& [id, handle] : sent_) {
        const auto shortcut = shortcuts_.find(handle);
        if (shortcut == shortcuts_.end() || shortcut->second.label.id != id)
            continue;
        const auto trigger = assigned_.find(id);
        answer(handle, trigger == assigned_.end() ? Answer{Answer::Status::refused, {}}
                                                  : Answer{Answer::Status::bound, trigger->second});
    }
    sent_.clear();
    if (changed_)
        synchronise();
}

void PortalHotKeys::answer(Handle handle, const Answer& answer) {
    const auto found = shortcuts_.find(handle);
    if (found == shortcuts_.end() || found->second.answer == answer)
        return;
    found->second.answer = answer;
    if (answerHandler_)
        answerHandler_(handle, answer);
}

std::optional<HotKeyBackend::Handle> PortalHotKeys::handleOf(const QString& id) const {
    for (const auto& [handle, shortcut] : shortcuts_)
        if (shortcut.label.id == id)
            return handle;
    return std::nullopt;
}

bool PortalHotKeys::aboutOurSession(const QDBusMessage& message) const {
    return !session_.isEmpty() && pathOf(message.arguments().value(0)) == session_;
}

void PortalHotKeys::activated(const QDBusMessage& message) {
    if (!aboutOurSession(message))
        return;
    const QString id = message.arguments().value(1).toString();
    // A held chord may be reported again and again; once the portal has shown that it reports
    // letting go, a press counts only after the one before it was let go.
    if (!held_.insert(id).second && releasesSeen_)
        return;
    const auto handle = handleOf(id);
    if (handle && pressHandler_) {
        // A copy: the receiver may replace the handler while it runs.
        const PressHandler handler = pressHandler_;
        // The portal's time is no window system's time for handing over the keyboard.
        handler(shortcuts_.at(*handle).hotKeyId, 0);
    }
}

void PortalHotKeys::deactivated(const QDBusMessage& message) {
    if (!aboutOurSession(message))
        return;
    releasesSeen_ = true;
    held_.erase(message.arguments().value(1).toString());
}

void PortalHotKeys::shortcutsChanged(const QDBusMessage& message) {
    if (!aboutOurSession(message))
        return;
    // The user gave a shortcut other keys in the desktop's settings.
    for (const PortalShortcutEntry& entry : shortcutsIn(message.arguments().value(1)))
        if (const auto handle = handleOf(entry.id))
            answer(*handle,
                   {Answer::Status::bound,
                    entry.properties.value(QStringLiteral("trigger_description")).toString()});
}

void PortalHotKeys::closeSession() {
    if (session_.isEmpty())
        return;
    bus().send(QDBusMessage::createMethodCall(portalService, session_,
                                              QStringLiteral("org.freedesktop.portal.Session"),
                                              QStringLiteral("Close")));
    session_.clear();
    held_.clear();
}
