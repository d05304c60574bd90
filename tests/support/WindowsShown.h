#pragma once

#include <QDBusConnection>
#include <QDateTime>
#include <QList>
#include <QObject>

// The windows Kalvex reports shown on a bus (its debug signal), each with the moment the
// report arrived, in milliseconds since the epoch.
class WindowsShown : public QObject
{
    Q_OBJECT
public:
    explicit WindowsShown(QDBusConnection bus);

    struct Shown
    {
        QString objectName;
        qint64 atMs;
    };
    QList<Shown> seen;

    // When the first window of that objectName was reported; 0 while none.
    qint64 firstAtMs(const QString& objectName) const;

private slots:
    void onShown(const QString& objectName, const QString& title);
};
