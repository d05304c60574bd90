#include "ManagerFixture.h"

#include "Database.h"
#include "LanSettings.h"
#include "ManagerState.h"
#include "Prompt.h"
#include "RMain.h"
#include "Reminder.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QTest>

QString mismatches(const QVariantMap& row, const QVariantMap& expected)
{
    QStringList differences;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QVariant actual = row.value(it.key());
        bool same;
        if (it.value().metaType() == QMetaType::fromType<Date>())
            same = dateField(actual) == it.value().value<Date>();
        else if (it.value().metaType() == QMetaType::fromType<bool>())
            same = actual.toBool() == it.value().toBool();
        else
            same = actual.toString() == it.value().toString();
        if (!same)
            differences << it.key() + QStringLiteral(": ") + actual.toString();
    }
    return differences.join(QStringLiteral("; "));
}

ManagerFixture::ManagerFixture()
{
    LANNick = QStringLiteral("me");
    LANOptSend = true;
    LANOptReceive = true;
    CurrentReminderId = 0;
    CurrentSentTo.clear();
    Prompt::clearHistory();
    OpenReminderDb(); // creates the database with the current schema
}

ManagerFixture::~ManagerFixture()
{
    close();
    RMain::setSendRUpdateHook(nullptr);
    RMain::setAboutHandler(nullptr);
}

qint32 ManagerFixture::add(const QVariantMap& given)
{
    QVariantMap fields{{QStringLiteral("RCaption"), QStringLiteral("r")},
                       {QStringLiteral("RDate"), dated(2026, 4, 1, 9, 0)},
                       {QStringLiteral("RActive"), true}};
    fields.insert(given);
    if (!given.contains(QStringLiteral("RNext")))
        fields.insert(QStringLiteral("RNext"), fields.value(QStringLiteral("RDate")));
    return insertReminder(fields);
}

QVariantMap ManagerFixture::row(qint32 id) const
{
    return reminderRow(id);
}

int ManagerFixture::rowCount() const
{
    return OpenReminderDb()->scalar(QStringLiteral("SELECT COUNT(*) FROM Main_tbl")).toInt();
}

void ManagerFixture::sql(const QString& statement) const
{
    OpenReminderDb()->exec(statement);
}

QStringList ManagerFixture::logLines() const
{
    return ::logLines();
}

RMain* ManagerFixture::open()
{
    m_window = RMain::load();
    m_window->show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window))
        qWarning("the manager window did not become active");
    return m_window;
}

void ManagerFixture::close()
{
    if (!m_window)
        return;
    QPointer<RMain> window = m_window;
    m_window.clear();
    if (window)
        window->close();
    if (!QTest::qWaitFor([&window] { return window.isNull(); }, 5000))
        qWarning("the manager window was not deleted");
}

void ManagerFixture::click(const QString& name) const
{
    QTest::mouseClick(find<QWidget>(name), Qt::LeftButton);
}

void ManagerFixture::key(Qt::Key key) const
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : m_window.data(), key);
}

QStringList ManagerFixture::listLines() const
{
    const QAbstractItemModel* model = find<QListView>(QStringLiteral("List1"))->model();
    QStringList lines;
    for (int i = 0; i < model->rowCount(); ++i)
        lines << model->index(i, 0).data().toString();
    return lines;
}

QList<qint32> ManagerFixture::listIds() const
{
    const QAbstractItemModel* model = find<QListView>(QStringLiteral("List1"))->model();
    QList<qint32> ids;
    for (int i = 0; i < model->rowCount(); ++i)
        ids << model->index(i, 0).data(Qt::UserRole).toInt();
    return ids;
}

int ManagerFixture::selectedRow() const
{
    const QModelIndexList selected =
        find<QListView>(QStringLiteral("List1"))->selectionModel()->selectedRows();
    return selected.size() == 1 ? selected.first().row() : -1;
}

QString ManagerFixture::counter() const
{
    return find<QLabel>(QStringLiteral("LMoveRS"))->text();
}
