#pragma once

#include "manager/RMain.h"
#include "store/ReminderDb.h"
#include "tests/support/ReminderRows.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

#include <functional>

inline QVariant dated(int y, int mo, int d, int h = 0, int mi = 0)
{
    return QVariant::fromValue(at(y, mo, d, h, mi));
}

// A fresh program directory and database, the clock at 15/03/2026 10:00:37, LAN on with the
// nickname "me", every box answered in advance (PromptGuard.h); the manager window opened on
// demand and closed with the fixture.
class ManagerFixture
{
public:
    ManagerFixture();
    ~ManagerFixture();

    // Adds a row as another process would: RCaption, RDate, RActive and RNext (RDate's)
    // filled unless given; an invalid QVariant is NULL.
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
    template <typename T> T* find(const QString& n) const { return m_window->findChild<T*>(n); }
    void click(const QString& n) const { QTest::mouseClick(find<QWidget>(n), Qt::LeftButton); }

    // What List1 shows: its lines, the RMain_Id of each, the selected row (-1: none), the counter.
    QStringList listLines() const { return QVariant(listColumn(Qt::DisplayRole)).toStringList(); }
    QList<qint32> listIds() const;
    int selectedRow() const;
    QString counter() const { return find<QLabel>("LMoveRS")->text(); }

private:
    QVariantList listColumn(int role) const;
    SchedulingDir m_dir{at(2026, 3, 15, 10, 0, 37)};
    QPointer<RMain> m_window;
};

// Runs checks on the modal window that opening shows (a box included: it comes up for real), inside
// that window's event loop, and ends the window on every way out of them: a failing check fails the
// test instead of leaving it waiting on a window nobody closes. True when a modal window came up,
// the checks passed and no modal window is left.
bool whileModal(const std::function<void()>& opening, const std::function<void(QWidget*)>& checks);
