// The manager window's layout by geometry (the list's header over its columns, the status
// line, the calendar pop-up), typed times, the postponement shown, the state kept between
// openings, the picture buttons' names; the Hebrew calendar in the editor, the advanced window,
// the list and the alert, its dates read off a printed luach.

#include "alert/Remind.h"
#include "common/Ini.h"
#include "manager/FrmAdvOpt.h"
#include "manager/ListTable.h"
#include "manager/ManagerState.h"
#include "platform/ui/UiConventions.h"
#include "store/Reminder.h"
#include "tests/support/ManagerFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The horizontal extent of a widget's rect in the window's coordinates.
std::pair<int, int> across(const QWidget* widget, const QRect& rect, const QWidget* window)
{
    const QRect inWindow(widget->mapTo(window, rect.topLeft()), rect.size());
    return {inWindow.left(), inWindow.right()};
}

QRect inWindow(const QWidget* widget)
{
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

} // namespace

class ManagerLayoutTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

    ListTable* list() const { return f->find<ListTable>("List1"); }
    void resizeTo(const QSize& size)
    {
        f->window()->resize(size);
        QTRY_COMPARE(f->window()->size(), size.expandedTo(f->window()->minimumSizeHint()));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c()); // the test runs under LC_ALL=C.UTF-8
        UiConventions::install();
    }
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup() { f.reset(); }

    // At the smallest, a middle and a wide size: each caption spans its column, only the title
    // column takes the width the window gains; the status line shows whole between the list and
    // the editor, its text beside the filter.
    void headersAndStatusLineStandInPlaceAtEverySize()
    {
        f->add({{"RCaption", "Latin first, עברית אחר כך"}, {"RDetail", "x"}});
        RMain* w = f->open();
        auto* status = f->find<QLabel>("LStatus");
        status->setText(QString("✓ Ж שמירה ").repeated(20));
        QHeaderView* header = list()->horizontalHeader();
        const int title = list()->sectionOfHeader(0), due = list()->sectionOfHeader(1);
        int lastTitleWidth = 0, dueWidth = -1;
        for (const QSize& size : {w->minimumSizeHint(), QSize(1100, 700), QSize(1600, 1000)}) {
            resizeTo(size);
            for (int s = 0; s < header->count(); ++s) {
                const QRect section(header->sectionViewportPosition(s), 0, header->sectionSize(s),
                                    header->height());
                const auto [hl, hr] = across(header->viewport(), section, w);
                const auto [cl, cr] =
                    across(list()->viewport(), list()->visualRect(list()->model()->index(0, s)), w);
                QVERIFY2(qAbs(hl - cl) <= 2, qPrintable(QString("section %1 left").arg(s)));
                QVERIFY2(qAbs(hr - cr) <= 2, qPrintable(QString("section %1 right").arg(s)));
            }
            QVERIFY(header->sectionSize(title) > lastTitleWidth);
            lastTitleWidth = header->sectionSize(title);
            QVERIFY(dueWidth < 0 || header->sectionSize(due) == dueWidth);
            dueWidth = header->sectionSize(due);
            QVERIFY(status->height() >= status->fontMetrics().height());
            QVERIFY(!inWindow(status).intersects(inWindow(f->find<QWidget>("Frame2"))));
            QVERIFY(inWindow(list()).bottom() < inWindow(status).top());
            QVERIFY(inWindow(status).bottom() < inWindow(f->find<QWidget>("CCaption")).top());
            QVERIFY(w->rect().contains(inWindow(f->find<QWidget>("cmdExit"))));
        }
        // The first column stands at the right edge.
        QVERIFY(header->sectionViewportPosition(due) > header->sectionViewportPosition(title));
    }

    // Under a C locale the pop-up is Hebrew, starts on Sunday, and opens under the field's right
    // edge, by the mouse or, as a combo box's list does, by Alt+Down or F4.
    void calendarPopupIsHebrewFromSundayUnderTheRightEdge()
    {
        f->open();
        auto* date = f->find<QDateEdit>("CDate1");
        QCalendarWidget* calendar = date->calendarWidget();
        const auto* view = calendar->findChild<QTableView*>("qt_calendar_calendarview");
        QCOMPARE(view->model()->index(0, 0).data().toString(),
                 QLocale(QLocale::Hebrew).dayName(7, QLocale::ShortFormat));
        const auto* month = calendar->findChild<QToolButton*>("qt_calendar_monthbutton");
        QVERIFY(month->text().contains(QRegularExpression("[\u05D0-\u05EA]")));

        const QList<std::pair<const char*, std::function<void()>>> openings = {
            {"click",
             [date] {
                 QTest::mouseClick(date, Qt::LeftButton, {},
                                   QPoint(date->width() - 6, date->height() / 2));
             }},
            {"Alt+Down", [date] { QTest::keyClick(date, Qt::Key_Down, Qt::AltModifier); }},
            {"F4", [date] { QTest::keyClick(date, Qt::Key_F4); }}};
        for (const auto& [how, open] : openings) {
            date->setFocus();
            open();
            QTRY_VERIFY2(calendar->window()->isVisible(), how);
            const int fieldRight = date->mapToGlobal(QPoint(date->width(), 0)).x();
            const QRect popup = calendar->window()->frameGeometry();
            QVERIFY2(qAbs(popup.x() + popup.width() - fieldRight) <= 1, how);
            calendar->window()->hide();
        }
        QCOMPARE(view->model()->index(4, 0).data().toString(), "15"); // 15/03/2026, a Sunday
        QCOMPARE(view->model()->index(4, 0).data(Qt::ToolTipRole).toString(), "כ\"ו באדר תשפ\"ו");
    }

    // A time typed whole or into the part clicked; the hour alone gives the full hour.
    void aTimeCanBeTyped()
    {
        f->open();
        auto* time = f->find<QTimeEdit>("CDate2");
        struct Case
        {
            bool clickHour; // else all selected
            QString keys;
            QTime expected;
        };
        const QList<Case> cases = {{true, "21", QTime(21, 7)},
                                   {false, "2130", QTime(21, 30)},
                                   {false, "21:45", QTime(21, 45)},
                                   {false, "930", QTime(9, 30)},
                                   {false, "18", QTime(18, 0)}};
        for (const Case& c : cases) {
            time->setTime(QTime(10, 7));
            QTest::mouseClick(time, Qt::LeftButton, {}, QPoint(6, time->height() / 2));
            if (!c.clickHour)
                QTest::keyClick(time, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(time, c.keys);
            QTest::keyClick(time, Qt::Key_Tab);
            QCOMPARE(time->time(), c.expected);
        }
    }

    // Where the next alert differs from the due date the list says so.
    void theListShowsAPostponement()
    {
        const qint32 sameDay =
            f->add({{"RDate", dated(2026, 4, 1, 18, 18)}, {"RNext", dated(2026, 4, 1, 18, 24)}});
        const qint32 nextDay =
            f->add({{"RDate", dated(2026, 4, 2, 18, 0)}, {"RNext", dated(2026, 4, 3, 9, 0)}});
        const qint32 onTime = f->add({{"RDate", dated(2026, 4, 4, 9, 0)}});
        f->open();
        const QStringList lines = f->listLines();
        const QList<qint32> ids = f->listIds();
        QCOMPARE(lines[ids.indexOf(sameDay)], "01/04/2026 18:18  נדחה ל-18:24");
        QCOMPARE(lines[ids.indexOf(nextDay)], "02/04/2026 18:00  נדחה ל-03/04/2026 09:00");
        QCOMPARE(lines[ids.indexOf(onTime)], "04/04/2026 09:00");
    }

    // Closed and opened again: the same place, size, filter, sort and widths.
    void theWindowReopensAsItWasLeft()
    {
        f->add({});
        RMain* w = f->open();
        const QRect area = w->screen()->availableGeometry();
        const QRect geometry(area.topLeft() + QPoint(20, 40), w->minimumSizeHint() + QSize(10, 10));
        w->setGeometry(geometry);
        QTRY_COMPARE(w->geometry(), geometry);
        f->click("OptShow_0");
        f->clickHeader(2);
        f->clickHeader(2);
        const int importance = list()->sectionOfHeader(2);
        list()->horizontalHeader()->resizeSection(importance, 123);
        f->close();

        w = f->open();
        QCOMPARE(w->geometry(), geometry);
        QCOMPARE(w->showFilter(), 0);
        QVERIFY(f->find<QRadioButton>("OptShow_0")->isChecked());
        QCOMPARE(w->sortField(), "RImportance");
        QCOMPARE(list()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(list()->horizontalHeader()->sectionSize(importance), 123);
        f->close(); // a place on a screen no longer there opens inside the screen there is
        WriteIni("RMain", "Geometry", "5000,-3000,700,600");
        w = f->open();
        QVERIFY(w->screen()->availableGeometry().contains(w->frameGeometry()));
    }

    // Every picture button is named for a screen reader, as its tool tip reads.
    void pictureButtonsHaveAccessibleNames()
    {
        f->open();
        for (const QToolButton* button : f->window()->findChildren<QToolButton*>()) {
            if (!button->objectName().startsWith("cmd"))
                continue;
            QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
            QCOMPARE(button->toolTip(), button->accessibleName());
        }
    }

    // 27 December 2027 is 27 Kislev 5788; the next two are 15 December 2028 (5789) and
    // 4 December 2029 (5790). The list and the alert show the Hebrew date beside the due date.
    void theEditorSavesAHebrewYearlySeries()
    {
        f->open();
        f->click("cmdNew");
        f->find<QLineEdit>("CCaption")->setText(QStringLiteral("יום הולדת"));
        f->find<QDateEdit>("CDate1")->setDate(QDate(2027, 12, 27));
        f->find<QTimeEdit>("CDate2")->setTime(QTime(9, 0));
        QCOMPARE(f->find<QLabel>("LblHebrewDate")->text(), QStringLiteral("כ\"ז בכסלו תשפ\"ח"));
        auto* types = f->find<QComboBox>("CEventType");
        types->setCurrentIndex(types->findData(EventHebrewYearly));
        emit types->activated(types->currentIndex());
        const QString preview = f->find<QLabel>("LblOccurrences")->text();
        QVERIFY2(preview.contains(QStringLiteral("15/12/2028 09:00 (כ\"ז בכסלו תשפ\"ט)")),
                 qPrintable(preview));
        f->click("cmdNew"); // "שמור כחדש"
        const QVariantMap row = f->row(CurrentReminderId);
        QCOMPARE(row.value("REventType").toInt(), int(EventHebrewYearly));
        QCOMPARE(row.value("Adv_PeriodN").toInt(), 1);
        QCOMPARE(row.value("Adv_HebrewMonth").toInt(), int(HebrewMonth::Kislev));
        QCOMPARE(row.value("Adv_HebrewDay").toInt(), 27);
        const QModelIndex first = f->find<QAbstractItemView>("List1")->model()->index(0, 0);
        QCOMPARE(first.data(Qt::ToolTipRole).toString(), QStringLiteral("כ\"ז בכסלו תשפ\"ח"));
        auto* alert = new Remind;
        alert->RLoad(CurrentReminderId);
        QCOMPARE(alert->findChild<QLabel*>("LblHebrewDate")->text(),
                 QStringLiteral("כ\"ז בכסלו תשפ\"ח"));
        alert->close();
    }

    // Skipping days off is offered for days and weeks only; a Hebrew unit makes the editor's
    // type the Hebrew one, with the count typed.
    void theAdvancedWindowOffersSkippingAndHebrewUnits()
    {
        f->open();
        f->click("cmdNew");
        QVERIFY(whileModal(
            [this] { f->click("cmdAdvOpt"); },
            [](QWidget* window) {
                auto* units = window->findChild<QComboBox*>("AdvEventType");
                auto* skip = window->findChild<QCheckBox*>("SkipDaysOff");
                const QList<std::pair<int, bool>> offered = {
                    {Date::Hour, false},  {Date::Day, true}, {Date::Week, true},
                    {Date::Month, false}, {6, false},        {Date::Week, true}};
                for (const auto& [unit, enabled] : offered) {
                    units->setCurrentIndex(unit);
                    QVERIFY2(skip->isEnabled() == enabled, qPrintable(units->currentText()));
                }
                skip->setChecked(true);
                QTest::mouseClick(window->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
            }));
        QVERIFY(AdvOptions.Adv_SkipDaysOff);
        QVERIFY(whileModal([this] { f->click("cmdAdvOpt"); },
                           [](QWidget* window) {
                               window->findChild<QComboBox*>("AdvEventType")->setCurrentIndex(6);
                               window->findChild<QLineEdit*>("TxtNPeriod")->setText("2");
                               QTest::mouseClick(window->findChild<QPushButton*>("cmdSave"),
                                                 Qt::LeftButton);
                           }));
        QCOMPARE(f->find<QComboBox>("CEventType")->currentData().toInt(), int(EventHebrewMonthly));
        f->find<QLineEdit>("CCaption")->setText(QStringLiteral("ראש חודש"));
        f->click("cmdNew");
        QCOMPARE(f->row(CurrentReminderId).value("Adv_PeriodN").toInt(), 2);
        QCOMPARE(f->row(CurrentReminderId).value("Adv_SkipDaysOff").toInt(), 0);
    }
};

QTEST_MAIN(ManagerLayoutTest)
#include "tst_manager_layout.moc"
