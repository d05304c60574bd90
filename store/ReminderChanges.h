#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class Database;

// The one notice of change for the reminder table. Whatever writes or
// deletes reminders in this process raises it once its change is committed
// (scheduling/ReminderWrites.h does so for every writer); open windows listen
// and show what is stored now. Each change counts, so a window that has just
// read the table itself can tell that it has nothing new to show.
//
// Changes committed through any other connection (another program on the
// file, another Kalvex, a writer of this process that does not raise it)
// raise it too, while a window watches: a connection of its own then asks
// SQLite's data_version every kWatchMs. Nothing is open and nothing ticks
// while no window watches.
class ReminderChanges : public QObject
{
    Q_OBJECT
public:
    static ReminderChanges* instance();

    // Changes counted so far in this process.
    static quint64 serial();
    // A committed change of the table: counts it and signals changed().
    static void raise();

    // Watches other connections' changes for as long as holder lives (a
    // window from its construction, before it reads the table).
    static void watchWhile(QObject* holder);
    // Raises the notice at once for a change another connection committed
    // and the watch has not seen yet: before acting on the list as stored.
    static void checkNow();
    static bool isWatching();

    static constexpr int kWatchMs = 250;

signals:
    void changed();
    // The watch saw a change committed through another connection, signalled
    // before changed().
    void changedElsewhere();

private:
    ReminderChanges();
    ~ReminderChanges() override;
    void release(QObject* holder);
    void startWatch();
    void stopWatch();
    bool openWatch();
    // The file's data_version as the watch connection sees it; -1 when it
    // cannot be read now (the file busy or gone), which counts as no news.
    qint64 readVersion() const;
    void poll();

    quint64 m_serial = 0;
    QList<QObject*> m_holders;
    std::unique_ptr<Database> m_watchDb;
    qint64 m_version = -1;
    QTimer m_timer;
};
