#pragma once

#include "Date.h"
#include "RMain.h"
#include "ReminderRows.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

// A date field's value for the rows given to add().
inline QVariant dated(int y, int mo, int d, int h = 0, int mi = 0)
{
    return QVariant::fromValue(at(y, mo, d, h, mi));
}

// The fields of row whose values differ from expected ("" when none);
// Dates and Booleans compare as such, the rest as text.
QString mismatches(const QVariantMap& row, const QVariantMap& expected);

// A fresh program directory with its own database and log, the clock pinned
// at 15/03/2026 10:00:37, LAN sending and receiving on with the nickname
// "me", and the manager window opened on demand. Closing the fixture closes
// the window.
class ManagerFixture
{
public:
    ManagerFixture();
    ~ManagerFixture();

    static Date now() { return at(2026, 3, 15, 10, 0, 37); }

    // Adds a row directly, as another process would. Fields not given take
    // the table's defaults, RCaption/RDate/RNext/RActive reasonable values;
    // Date values are stored as date fields; an invalid QVariant is NULL.
    qint32 add(const QVariantMap& fields);
    QVariantMap row(qint32 id) const; // empty when the row does not exist
    int rowCount() const;
    void sql(const QString& statement) const;
    QStringList logLines() const;

    RMain* open(); // loads, shows and activates the manager window
    void close();  // closes it and waits until it is gone
    RMain* window() const { return m_window; }

    template <typename T> T* find(const QString& name) const
    {
        T* child = m_window->findChild<T*>(name);
        if (!child)
            qFatal("no control %s", qPrintable(name));
        return child;
    }

    void click(const QString& name) const; // a left click on the control
    void key(Qt::Key key) const;           // typed where the focus is

    // What List1 shows: its lines and the RMain_Id of each row.
    QStringList listLines() const;
    QList<qint32> listIds() const;
    int selectedRow() const;
    QString counter() const;

private:
    SchedulingDir m_dir{now()};
    QPointer<RMain> m_window;
};
