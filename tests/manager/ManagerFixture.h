#pragma once

#include "Database.h"
#include "RMain.h"
#include "ReminderRows.h"

#include <QPointer>

// A date field's value for the rows given to add().
inline QVariant dated(int y, int mo, int d, int h = 0, int mi = 0)
{
    return QVariant::fromValue(at(y, mo, d, h, mi));
}

// A fresh program directory with its own database and log, the clock pinned
// at 15/03/2026 10:00:37, LAN sending and receiving on with the nickname
// "me", and the manager window opened on demand and closed with the fixture.
class ManagerFixture
{
public:
    ManagerFixture();
    ~ManagerFixture();

    // Adds a row as another process would: RCaption, RDate and RActive have
    // values unless given, RNext that of RDate; an invalid QVariant is NULL.
    qint32 add(const QVariantMap& fields);
    QVariantMap row(qint32 id) const { return reminderRow(id); }
    int rowCount() const
    {
        return OpenReminderDb()->scalar("SELECT COUNT(*) FROM Main_tbl").toInt();
    }
    void sql(const QString& statement) const { OpenReminderDb()->exec(statement); }

    RMain* open(); // loads, shows and activates the manager window
    void close();  // closes it and waits until it is gone
    RMain* window() const { return m_window; }
    template <typename T> T* find(const QString& name) const
    {
        return m_window->findChild<T*>(name);
    }
    void click(const QString& name) const; // a left click on the control

    // What List1 shows: its lines, the RMain_Id of each, the selected row
    // (-1 when none) and the counter under it.
    QStringList listLines() const { return QVariant(listColumn(Qt::DisplayRole)).toStringList(); }
    QList<qint32> listIds() const;
    int selectedRow() const;
    QString counter() const;

private:
    QVariantList listColumn(int role) const;
    SchedulingDir m_dir{at(2026, 3, 15, 10, 0, 37)};
    QPointer<RMain> m_window;
};
