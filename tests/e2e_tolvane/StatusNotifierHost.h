#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

// What a StatusNotifier panel (KDE, AppIndicator) runs on the session bus,
// reduced to what a test needs: it owns org.kde.StatusNotifierWatcher, says
// that a host is registered, keeps the items that register, and acts as the
// host towards them.
class StatusNotifierHost : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    explicit StatusNotifierHost(const QDBusConnection& bus);
    bool start();

    // "service/path" of each registered item.
    QStringList items() const { return m_items; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

    // A method of org.kde.StatusNotifierItem on the first item.
    QDBusMessage callItem(const QString& method, const QVariantList& args = {});
    // A property of the first item, as the bus hands it over.
    QVariant itemProperty(const QString& name);

public slots:
    void RegisterStatusNotifierItem(const QString& serviceOrPath);
    void RegisterStatusNotifierHost(const QString& service);

signals:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierHostRegistered();

private:
    QDBusMessage itemCall(const QString& interface, const QString& method,
                          const QVariantList& args);

    QDBusConnection m_bus;
    QStringList m_items;
};
