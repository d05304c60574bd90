#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

// What a StatusNotifier panel (KDE, AppIndicator) runs on the session bus,
// reduced to what a test needs: it owns org.kde.StatusNotifierWatcher, says
// that a host is registered, keeps the items that register ("service/path"),
// and calls the first one.
class StatusNotifierHost : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    explicit StatusNotifierHost(const QDBusConnection& bus) : m_bus(bus) {}
    bool start();
    QStringList items() const { return m_items; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    // A method of the first item, on interface org.kde.StatusNotifierItem by default.
    QDBusMessage callItem(const QString& method, const QVariantList& args = {},
                          const QString& interface = QStringLiteral("org.kde.StatusNotifierItem"));
    QVariant itemProperty(const QString& name);

public slots:
    void RegisterStatusNotifierItem(const QString& serviceOrPath);
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierHostRegistered();

private:
    QDBusConnection m_bus;
    QStringList m_items;
};
