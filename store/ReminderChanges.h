#pragma once

#include <QObject>

// The one notice of change for the reminder table. Whatever writes or
// deletes reminders in this process raises it once its change is committed
// (scheduling/ReminderWrites.h does so for every writer); open windows listen
// and show what is stored now. Each change counts, so a window that has just
// read the table itself can tell that it has nothing new to show.
//
// Changes of other processes do not reach it; a watch of the database file
// (PRAGMA data_version) would raise it the same way.
class ReminderChanges : public QObject
{
    Q_OBJECT
public:
    static ReminderChanges* instance();

    // Changes counted so far in this process.
    static quint64 serial();
    // A committed change of the table: counts it and signals changed().
    static void raise();

signals:
    void changed();

private:
    using QObject::QObject;
    quint64 m_serial = 0;
};
