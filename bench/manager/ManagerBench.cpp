// Prints how long the manager window takes from ShowList (load and show, in
// process) until its list has been painted, at three list sizes, and how
// long a refresh (F5) takes at 10,000 reminders.
// Run: cmake --build <build> --target run_kv_manager_bench

#include "manager/RMain.h"
#include "platform/Clock.h"
#include "store/Database.h"
#include "store/LanSettings.h"
#include "store/Reminder.h"
#include "tests/support/TempProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPointer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void fillDatabase(int count)
{
    auto db = OpenReminderDb();
    Transaction transaction(*db);
    const Date start = Date::fromParts(2026, 1, 1, 8, 0);
    for (int i = 0; i < count; ++i) {
        const double due = start.addMinutes(qint64(i) * 37 % 525600).serial();
        db->execute(
            QStringLiteral("INSERT INTO Main_tbl (RCaption, RDetail, RDate, RNext, RImportance, "
                           "REventType, RActive, RAuthor) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {QStringLiteral("תזכורת מספר %1").arg(i),
             QStringLiteral("פרטים\r\nשורה שנייה %1").arg(i), due, due, i % 3,
             QVariantList{0, 1, 5, 10, 20, 30, 60, 100}.at(i % 8), i % 4 != 0,
             QStringLiteral("user%1").arg(i % 7)});
    }
    transaction.commit();
}

// Waits until the list's viewport has painted once after arm().
class PaintWatch : public QObject
{
public:
    void arm(QWidget* viewport)
    {
        m_painted = false;
        viewport->installEventFilter(this);
    }
    bool wait()
    {
        return QTest::qWaitFor([this] { return m_painted; }, 60000);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    bool m_painted = false;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double showListMs(PaintWatch& watch)
{
    QElapsedTimer timer;
    timer.start();
    RMain* window = RMain::load();
    watch.arm(window->findChild<QListView*>(QStringLiteral("List1"))->viewport());
    window->show();
    watch.wait();
    return timer.nsecsElapsed() / 1e6;
}

void closeWindow()
{
    QPointer<RMain> window = RMain::instance();
    window->close();
    QTest::qWaitFor([&] { return window.isNull(); }, 5000);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Clock::setNow(Date::fromParts(2026, 3, 15, 10, 0));
    LANNick = QStringLiteral("bench");
    LANOptSend = true;
    LANOptReceive = true;
    PaintWatch watch;

    std::printf("manager window: ShowList (load + show) until the list is painted, median of 5\n");
    const std::pair<int, double> sizes[] = {{1000, 100}, {10000, 300}, {100000, 2000}};
    for (const auto& [count, target] : sizes) {
        TempProgramDir dir;
        fillDatabase(count);
        std::vector<double> runs;
        for (int run = 0; run < 5; ++run) {
            runs.push_back(showListMs(watch));
            if (count == 10000 && run == 4)
                break; // kept open for the refresh below
            closeWindow();
        }
        std::printf("  %6d reminders: %8.1f ms (target %.0f ms)\n", count, median(runs), target);

        if (count == 10000) {
            std::vector<double> refreshes;
            QListView* list = RMain::instance()->findChild<QListView*>(QStringLiteral("List1"));
            for (int run = 0; run < 5; ++run) {
                watch.arm(list->viewport());
                QElapsedTimer timer;
                timer.start();
                QTest::keyClick(list, Qt::Key_F5);
                list->viewport()->update();
                watch.wait();
                refreshes.push_back(timer.nsecsElapsed() / 1e6);
            }
            std::printf("  refresh (F5) at 10000 reminders: %8.1f ms\n", median(refreshes));
            closeWindow();
        }
    }
    return 0;
}
