// The Hebrew calendar in the editor, the advanced window, the list and the alert; the
// Hebrew dates read off a printed luach.
#include "alert/Remind.h"
#include "manager/FrmAdvOpt.h"
#include "manager/ManagerState.h"
#include "platform/ui/UiConventions.h"
#include "store/Reminder.h"
#include "tests/support/ManagerFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimeEdit>

class ManagerHebrewTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

    void chooseType(short eventType)
    {
        auto* types = f->find<QComboBox>("CEventType");
        types->setCurrentIndex(types->findData(eventType));
        emit types->activated(types->currentIndex());
    }

private slots:
    void initTestCase() { UiConventions::install(); }
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup() { f.reset(); }

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
        chooseType(EventHebrewYearly);
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

QTEST_MAIN(ManagerHebrewTest)
#include "tst_manager_hebrew.moc"
