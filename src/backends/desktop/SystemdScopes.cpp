// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/SystemdScopes.h"

#include "backends/desktop/DesktopServicesLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QRandomGenerator>

#include <utility>

namespace {

struct Property {
    QString name;
    QDBusVariant value;
};

QDBusArgument& operator<<(QDBusArgument& argument, const Property& property) {
    argument.beginStructure();
    argument << property.name << property.value;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Property& property) {
    argument.beginStructure();
    argument >> property.name >> property.value;
    argument.endStructure();
    return argument;
}

using Properties = QList<Property>;
// The auxiliary units StartTransientUnit takes: a(sa(sv)), none here.
using AuxiliaryUnit = std::pair<QString, Properties>;

QDBusArgument& operator<<(QDBusArgument& argument, const AuxiliaryUnit& unit) {
    argument.beginStructure();
    argument << unit.first << unit.second;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, AuxiliaryUnit& unit) {
    argument.beginStructure();
    argument >> unit.first >> unit.second;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(Property)
Q_DECLARE_METATYPE(AuxiliaryUnit)

QByteArray SystemdScopes::escaped(const QString& desktopId) {
    QByteArray out;
    const QByteArray utf8 = desktopId.toUtf8();
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == ':' || c == '_' || (c == '.' && i > 0);
        if (plain)
            out += c;
        else
            out += "\\x" +
                   QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
    }
    return out;
}

void SystemdScopes::adopt(std::int32_t pid, const QString& desktopId) {
    // Pid 0 would ask systemd to move us.
    if (pid <= 0)
        return;
    static const bool registered = [] {
        qDBusRegisterMetaType<Property>();
        qDBusRegisterMetaType<Properties>();
        qDBusRegisterMetaType<AuxiliaryUnit>();
        qDBusRegisterMetaType<QList<AuxiliaryUnit>>();
        return true;
    }();
    Q_UNUSED(registered);

    const QString id = desktopId.isEmpty() ? QStringLiteral("unknown") : desktopId;
    const QString unit = QStringLiteral("app-moorline-") + QString::fromLatin1(escaped(id)) + u'-' +
                         QString::number(QRandomGenerator::global()->generate(), 16) +
                         QStringLiteral(".scope");
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.systemd1"), QStringLiteral("/org/freedesktop/systemd1"),
        QStringLiteral("org.freedesktop.systemd1.Manager"), QStringLiteral("StartTransientUnit"));
    // A bus without systemd must not start one for us.
    call.setAutoStartService(false);
    const Properties properties{
        {QStringLiteral("PIDs"),
         QDBusVariant(QVariant::fromValue(QList<quint32>{static_cast<quint32>(pid)}))},
        {QStringLiteral("Slice"), QDBusVariant(QStringLiteral("app.slice"))},
        {QStringLiteral("Description"),
         QDBusVariant(QStringLiteral("Application launched by Moorline"))},
        // Gone once its programs have ended, failed or not.
        {QStringLiteral("CollectMode"), QDBusVariant(QStringLiteral("inactive-or-failed"))},
    };
    call << unit << QStringLiteral("fail") << QVariant::fromValue(properties)
         << QVariant::fromValue(QList<AuxiliaryUnit>{});
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [unit](QDBusPendingCallWatcher* finished) {
                         // No systemd, or a program that has already ended: it stays where it
                         // was started, which is no fault of the launch.
                         if (finished->isError())
                             qCDebug(lcDesktopServices)
                                 << "no scope" << unit << finished->error().message();
                         finished->deleteLater();
                     });
}
