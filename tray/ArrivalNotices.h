#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// The desktop notices of shared reminders that arrived, changed or were
// deleted by their authors (Kalvex's signal SharedReminderArrived): what
// comes within a second is shown as one notice, naming the author, title and
// time of each (kMaxListed at most, the rest counted, with those Kalvex held
// back and told only by their count, SharedRemindersHeldBack); a click on it
// opens the latest in the list.
class ArrivalNotices : public QObject
{
    Q_OBJECT
public:
    // show: puts a notice on the desktop (the tray icon's message).
    explicit ArrivalNotices(std::function<void(const QString& title, const QString& text)> show,
                            QObject* parent = nullptr);

    static constexpr int kCoalesceMs = 1000;
    static constexpr int kMaxListed = 5;
    static constexpr int kMaxCounted = 1000000000; // a count never wraps

    // The RMain_Id the last notice opens in the list (0: the list alone).
    qint32 clickTarget() const { return m_clickTarget; }

public slots:
    void take(const QString& kind, int reminderId, const QString& author, const QString& caption,
              const QString& due);
    void takeHeldBack(int count);

private:
    struct Arrival
    {
        QString kind;
        qint32 reminderId;
        QString author;
        QString caption;
        QString due;
    };
    void showGathered();

    std::function<void(const QString&, const QString&)> m_show;
    QList<Arrival> m_gathered; // kMaxListed at most
    int m_more = 0;            // beyond them
    qint32 m_clickTarget = 0;
    QTimer m_coalesce;
};
