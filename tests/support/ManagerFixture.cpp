#include "tests/support/ManagerFixture.h"

#include "manager/ManagerState.h"
#include "platform/ui/ModalWindows.h"
#include "platform/ui/Prompt.h"
#include "store/Database.h"
#include "store/LanSettings.h"
#include "store/ReminderDb.h"
#include "tests/support/PromptGuard.h"

#include <QApplication>
#include <QFile>
#include <QListView>
#include <QScopeGuard>
#include <QTimer>

ManagerFixture::ManagerFixture()
{
    LANNick = "me", LANOptSend = true, LANOptReceive = true;
    CurrentReminderId = 0, CurrentSentTo.clear(), lastRecipients = {};
    Prompt::clearHistory();
    installPromptGuard();
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
    QVariantMap fields{{"RCaption", "r"}, {"RDate", dated(2026, 4, 1, 9, 0)}, {"RActive", true}};
    fields.insert(given);
    fields.insert("RNext", given.value("RNext", fields.value("RDate")));
    return insertReminder(fields);
}

RMain* ManagerFixture::open()
{
    m_window = RMain::load();
    m_window->show();
    m_window->activateWindow();
    QTest::qWaitForWindowActive(m_window);
    return m_window;
}

void ManagerFixture::close()
{
    QPointer<RMain> window = m_window;
    m_window.clear();
    if (window)
        window->close();
    QTest::qWaitFor([&window] { return window.isNull(); }, 5000);
    QFile::remove(editDraftPath()); // an edit a test left is not offered to its next opening
}

QList<qint32> ManagerFixture::listIds() const
{
    QList<qint32> ids;
    for (const QVariant& id : listColumn(Qt::UserRole))
        ids << id.toInt();
    return ids;
}

QVariantList ManagerFixture::listColumn(int role) const
{
    const QAbstractItemModel* model = find<QListView>("List1")->model();
    QVariantList values;
    for (int i = 0; i < model->rowCount(); ++i)
        values << model->index(i, 0).data(role);
    return values;
}

int ManagerFixture::selectedRow() const
{
    const QModelIndexList selected = find<QListView>("List1")->selectionModel()->selectedRows();
    return selected.size() == 1 ? selected.first().row() : -1;
}

bool whileModal(const std::function<void()>& opening, const std::function<void(QWidget*)>& checks)
{
    bool passed = false;
    QTimer inWindow; // dies with this call, so it never fires after a window that did not open
    inWindow.setSingleShot(true);
    QObject::connect(&inWindow, &QTimer::timeout, [&] {
        const auto endWindows = qScopeGuard([] {
            if (QApplication::activeModalWidget())
                ModalWindows::endThen([] {});
        });
        QWidget* window = nullptr;
        if (QTest::qWaitFor([&] { return (window = QApplication::activeModalWidget()); }, 5000)) {
            checks(window);
            passed = !QTest::currentTestFailed();
        }
    });
    inWindow.start(0);
    const RealBoxes wanted;
    opening();
    return passed && !QApplication::activeModalWidget();
}
