#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>
#include <QStringList>

// A StatusNotifier panel reduced to what a test needs: the watcher's name, a host
// registered, the items ("service/path"), calls to the first.
class StatusNotifierHost : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    explicit StatusNotifierHost(const QDBusConnection& bus) : m_bus(bus) {}
    bool start()
    {
        return m_bus.registerObject("/StatusNotifierWatcher", this,
                                    QDBusConnection::ExportAllContents) &&
               m_bus.registerService("org.kde.StatusNotifierWatcher");
    }
    QStringList items() const { return m_items; }
    bool isHostRegistered() const { return true; }
    QDBusMessage callItem(const QString& method, const QVariantList& args = {},
                          const QString& interface = QStringLiteral("org.kde.StatusNotifierItem"))
    {
        const QString item = m_items.value(0);
        const int slash = item.indexOf(QLatin1Char('/'));
        QDBusMessage call =
            QDBusMessage::createMethodCall(item.left(slash), item.mid(slash), interface, method);
        call.setArguments(args);
        return m_bus.call(call, QDBus::Block, 15000);
    }
    QVariant itemProperty(const QString& name)
    {
        const QDBusMessage reply = callItem("Get", {"org.kde.StatusNotifierItem", name},
                                            "org.freedesktop.DBus.Properties");
        return qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant();
    }

public slots:
    // Items name their bus name, or only their object path on the caller's connection.
    void RegisterStatusNotifierItem(const QString& serviceOrPath)
    {
        m_items << (serviceOrPath.startsWith(QLatin1Char('/'))
                        ? message().service() + serviceOrPath
                        : serviceOrPath + "/StatusNotifierItem");
    }

private:
    QDBusConnection m_bus;
    QStringList m_items;
};
