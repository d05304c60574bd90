#include "StatusNotifierHost.h"

#include <QDBusVariant>

bool StatusNotifierHost::start()
{
    return m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                                QDBusConnection::ExportAllContents) &&
           m_bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

// Items name their bus name (the path is then the usual one) or, as some
// libraries do, only their object path on the caller's connection.
void StatusNotifierHost::RegisterStatusNotifierItem(const QString& serviceOrPath)
{
    const QString item = serviceOrPath.startsWith(QLatin1Char('/'))
                             ? message().service() + serviceOrPath
                             : serviceOrPath + QStringLiteral("/StatusNotifierItem");
    m_items << item;
    emit StatusNotifierItemRegistered(item);
}

QDBusMessage StatusNotifierHost::callItem(const QString& method, const QVariantList& args,
                                          const QString& interface)
{
    const QString item = m_items.value(0);
    const int slash = item.indexOf(QLatin1Char('/'));
    QDBusMessage call =
        QDBusMessage::createMethodCall(item.left(slash), item.mid(slash), interface, method);
    call.setArguments(args);
    return m_bus.call(call, QDBus::Block, 15000);
}

QVariant StatusNotifierHost::itemProperty(const QString& name)
{
    const QDBusMessage reply =
        callItem(QStringLiteral("Get"), {QStringLiteral("org.kde.StatusNotifierItem"), name},
                 QStringLiteral("org.freedesktop.DBus.Properties"));
    return qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant();
}
