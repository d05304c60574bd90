#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// The desktop's notification service (org.freedesktop.Notifications) reduced to what a test
// needs: it keeps each notice shown, as "summary|body".
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit NotificationServer(const QDBusConnection& bus) : m_bus(bus) {}
    bool start()
    {
        return m_bus.registerObject("/org/freedesktop/Notifications", this,
                                    QDBusConnection::ExportAllSlots) &&
               m_bus.registerService("org.freedesktop.Notifications");
    }
    QStringList notices() const { return m_notices; }

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int)
    {
        m_notices << summary + '|' + body;
        return uint(m_notices.size());
    }
    QStringList GetCapabilities() { return {"body"}; }
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion)
    {
        vendor = "test", version = "1", specVersion = "1.2";
        return "test";
    }
    void CloseNotification(uint) {}

private:
    QDBusConnection m_bus;
    QStringList m_notices;
};
