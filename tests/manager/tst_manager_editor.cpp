// The manager window's editor: modes, validation, the save and the keys.
#include "ManagerFixture.h"

#include "FrmAdvOpt.h"
#include "Ini.h"
#include "LanSettings.h"
#include "ManagerState.h"
#include "Prompt.h"
#include "Reminder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

namespace {

// Cancels the advanced options window once it is up, noting the start it was handed.
void cancelAdvancedOptions(Date* handedStart)
{
    QTimer::singleShot(0, [=] {
        QTRY_VERIFY(qobject_cast<FrmAdvOpt*>(QApplication::activeModalWidget()));
        *handedStart = AdvOptions.StartDate;
        qobject_cast<FrmAdvOpt*>(QApplication::activeModalWidget())->reject();
    });
}

} // namespace

class RMainEditorTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

    QWidget* w(const char* name) { return f->find<QWidget>(name); }
    QLineEdit* caption() { return f->find<QLineEdit>("CCaption"); }
    QString status() { return f->find<QLabel>("LStatus")->text(); }
    void key(Qt::Key k) { f->key(k); }
    void click(const char* name) { f->click(name); }
    void chooseEventType(int entry)
    {
        auto* box = f->find<QComboBox>("CEventType");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < entry; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentIndex(), entry);
    }
    void checkMode(bool edit, bool saveVisible, const QString& newCaption,
                   const QString& statusText)
    {
        QCOMPARE(f->window()->inEdit(), edit);
        for (const char* name :
             {"List1", "cmdDelete", "cmdDeleteAll", "cmdFind", "cmdRefresh", "cmdDefinitions"})
            QVERIFY2(w(name)->isEnabled() == !edit, name);
        QCOMPARE(!w("cmdSave")->isHidden(), saveVisible);
        QCOMPARE(!w("cmdCancel")->isHidden(), edit);
        QCOMPARE(f->find<QPushButton>("cmdNew")->text(), newCaption);
        QCOMPARE(status(), statusText);
    }

private slots:
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup() { f.reset(); }

    void modesFollowTheStateTableAndTheKeys()
    {
        const qint32 a = f->add({{"RCaption", "asleep"}, {"RActive", false}});
        const qint32 b = f->add({{"RCaption", "awake"}, {"RDate", dated(2026, 5, 1)}});
        f->open();
        checkMode(false, false, "חדש", "");

        // Editing the title of an inactive reminder makes it active.
        caption()->setFocus();
        QTest::keyClick(caption(), Qt::Key_X);
        checkMode(true, true, "שמור כחדש", " עריכה");
        QVERIFY(f->find<QRadioButton>("OptActive_0")->isChecked());
        key(Qt::Key_Escape); // ignored while editing
        key(Qt::Key_F5);
        QVERIFY(f->window()->isVisible());
        click("ListLabel_0");
        QCOMPARE(f->window()->sortField(), QStringLiteral("RDate"));
        key(Qt::Key_F12);
        checkMode(false, false, "חדש", " שינוי בוטל");
        QCOMPARE(caption()->text(), QStringLiteral("asleep"));
        QVERIFY(f->find<QRadioButton>("OptActive_1")->isChecked());

        // Clicking "לא" enters edit mode without switching the reminder on.
        click("cmdMoveRS_0");
        QCOMPARE(CurrentReminderId, b);
        click("OptActive_1");
        checkMode(true, true, "שמור כחדש", " עריכה");
        QVERIFY(f->find<QRadioButton>("OptActive_1")->isChecked());
        // Moving in the list drops the change silently.
        click("cmdMoveRS_3");
        checkMode(false, false, "חדש", "");
        QCOMPARE(CurrentReminderId, a);

        // A new reminder: defaults, no save button, F9 does nothing, F12 returns.
        click("cmdNew");
        checkMode(true, false, "שמור כחדש", " הוספת תזכורת חדשה");
        QCOMPARE(f->find<QDateEdit>("CDate1")->date(), QDate(2026, 3, 15)); // now, whole minutes
        QCOMPARE(f->find<QTimeEdit>("CDate2")->time(), QTime(10, 0));
        key(Qt::Key_F9);
        QCOMPARE(f->rowCount(), 2);
        QVERIFY(f->window()->inEdit());
        key(Qt::Key_F12);
        checkMode(false, false, "חדש", " שינוי בוטל");
        QCOMPARE(caption()->text(), QStringLiteral("asleep"));

        QPointer<RMain> window = f->window();
        key(Qt::Key_Escape);
        QTRY_VERIFY(window.isNull());
        QCOMPARE(RMain::instance(), nullptr);
    }

    void validationRefusesTheSave_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("importance");
        QTest::addColumn<int>("eventType");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no title") << "" << 0 << 0 << "יש להזין כותרת"
                                  << "CCaption";
        QTest::newRow("unknown importance") << "t" << 7 << 0 << "יש להזין חשיבות"
                                            << "CImportance";
        QTest::newRow("unknown type") << "t" << 1 << 3 << "יש להזיר סוג מופע"
                                      << "CEventType";
    }
    void validationRefusesTheSave()
    {
        QFETCH(QString, title);
        QFETCH(int, importance);
        QFETCH(int, eventType);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const qint32 id =
            f->add({{"RCaption", "t"}, {"RImportance", importance}, {"REventType", eventType}});
        f->open();
        caption()->setFocus();
        caption()->setText(title.isEmpty() ? QString() : title + "!");
        Prompt::setNextAnswer(Prompt::Answer::Ok);
        key(Qt::Key_F9);
        QCOMPARE(Prompt::history().size(), 1);
        QCOMPARE(Prompt::history().first().text, message);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(f->window()->inEdit());
        QCOMPARE(f->row(id).value("RCaption").toString(), QStringLiteral("t"));
    }

    void saveWritesTheFieldsOfTheRecurrenceType_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("periodN");
        // One-time keeps the stored step; the others are looked up alike, one
        // with a count above 1 shown.
        QTest::newRow("one-time keeps its unit") << 0 << 0 << 0 << 7;
        QTest::newRow("bi-monthly") << 5 << 30 << 4 << 2;
    }
    void saveWritesTheFieldsOfTheRecurrenceType()
    {
        QFETCH(int, entry);
        QFETCH(int, code);
        QFETCH(int, period);
        QFETCH(int, periodN);
        // A postponed reminder by another author with an advanced rule stored.
        // clang-format off
        const qint32 id = f->add({{"RCaption", "old"}, {"RDate", dated(2026, 4, 1, 9)},
            {"RNext", dated(2026, 4, 1, 9, 45)}, {"RAuthor", "other"}, {"REventType", 100},
            {"Adv_AdvOpt", true}, {"Adv_Period", 0}, {"Adv_PeriodN", 7}, {"Adv_WeekDay", 5},
            {"Adv_MonthDay", 3}, {"Adv_MonthCount", 2}, {"Adv_NoEnd", false}});
        // clang-format on
        f->open();
        const QString longTitle = QStringLiteral("a\tb") + QString(57, 'x');
        caption()->setText(longTitle);
        f->find<QDateEdit>("CDate1")->setDate(QDate(2026, 6, 2));
        f->find<QTimeEdit>("CDate2")->setTime(QTime(18, 30));
        f->find<QPlainTextEdit>("CDetail")->setPlainText(QStringLiteral("x\ty\nz"));
        chooseEventType(entry);
        key(Qt::Key_F9);

        QCOMPARE(status(), QStringLiteral(" תזכורת נשמרה"));
        QVERIFY(!f->window()->inEdit());
        const QVariant due = dated(2026, 6, 2, 18, 30);
        // clang-format off
        QCOMPARE(mismatches(f->row(id), {
            {"RCaption", (QStringLiteral("a b") + QString(57, 'x')).left(50)}, {"RDetail", "x y\r\nz"},
            {"RDate", due}, {"RNext", due}, {"REventType", code}, {"Adv_Period", period},
            {"Adv_PeriodN", periodN}, {"Adv_AdvOpt", false}, {"Adv_NoEnd", true}, {"Adv_DateEnd", due},
            {"Adv_WeekDay", 5}, {"Adv_MonthDay", 3}, {"Adv_MonthCount", 2}, {"RAuthor", "other"},
            {"RActive", true}}), QString());
        // clang-format on
        QCOMPARE(ReadIni("Reminder", "NextDate", "NULL"), QStringLiteral("020620261830"));
        QCOMPARE(f->listLines().size(), 1);
        QVERIFY(f->listLines().first().startsWith(QStringLiteral("02/06/2026 18:30")));
    }

    void saveAsNewLeavesTheEditedReminderAsItWas()
    {
        const qint32 a = f->add({{"RCaption", "A"}, {"RAuthor", QVariant()}});
        f->open();
        caption()->setText(QStringLiteral("B"));
        click("cmdNew");
        QCOMPARE(f->rowCount(), 2);
        QCOMPARE(f->row(a).value("RCaption").toString(), QStringLiteral("A"));
        const qint32 b = CurrentReminderId;
        QVERIFY(b != a && b > 0);
        QCOMPARE(mismatches(f->row(b), {{"RCaption", "B"},
                                        {"RAuthor", "me"},
                                        {"RDate0", QVariant::fromValue(ManagerFixture::now())}}),
                 QString());
        QCOMPARE(f->listIds().at(f->selectedRow()), b);
        QCOMPARE(status(), QStringLiteral(" תזכורת נשמרה"));

        // An empty author is filled on save; the first row gets the saving user.
        click("cmdMoveRS_3");
        caption()->setText(QStringLiteral("A2"));
        click("cmdSave");
        QCOMPARE(f->row(a).value("RAuthor").toString(), QStringLiteral("me"));
    }

    void newReminderIntoAnEmptyList()
    {
        f->open();
        click("cmdNew");
        caption()->setText(QStringLiteral("first"));
        click("cmdNew");
        QCOMPARE(f->counter(), QStringLiteral(" שורה 1 מתוך 1"));
        QCOMPARE(f->row(CurrentReminderId).value("RCaption").toString(), QStringLiteral("first"));
        QCOMPARE(ReadIni("Reminder", "NextDate", "NULL"), QStringLiteral("150320261000"));
    }

    void savingAReminderDeletedMeanwhileStoresItAgain()
    {
        const qint32 a = f->add({{"RCaption", "A"}});
        f->open();
        caption()->setText(QStringLiteral("A edited"));
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(a));
        click("cmdSave");
        QCOMPARE(f->rowCount(), 1);
        QVERIFY(CurrentReminderId != a);
        QCOMPARE(f->row(CurrentReminderId).value("RCaption").toString(),
                 QStringLiteral("A edited"));
        QCOMPARE(f->listIds(), QList<qint32>{CurrentReminderId});
    }

    // A null due date shows as a new reminder's; a null end stays null.
    void nullDatesAreNeverTheZeroDate()
    {
        // clang-format off
        const qint32 id = f->add({{"RDate", QVariant()}, {"RNext", QVariant()}, {"REventType", 100},
            {"Adv_AdvOpt", true}, {"Adv_Period", 3}, {"Adv_PeriodN", 1}, {"Adv_NoEnd", false},
            {"Adv_DateEnd", QVariant()}});
        // clang-format on
        f->open();
        QCOMPARE(f->find<QDateEdit>("CDate1")->date(), QDate(2026, 3, 15));
        QCOMPARE(f->find<QTimeEdit>("CDate2")->time(), QTime(10, 0));
        caption()->setText(QStringLiteral("renamed"));
        key(Qt::Key_F9);
        QCOMPARE(mismatches(f->row(id), {{"RCaption", "renamed"},
                                         {"RDate", dated(2026, 3, 15, 10)},
                                         {"Adv_NoEnd", false}}),
                 QString());
        QVERIFY(f->row(id).value("Adv_DateEnd").isNull());
    }

    // An accepted rule reaching the record is shown by the occurrence preview
    // test, which saves it and dismisses its alerts.
    void cancelledAdvancedOptionsKeepTheLoadedRule()
    {
        // clang-format off
        const QVariantMap advanced = {{"REventType", 100}, {"Adv_Period", 4}, {"Adv_PeriodN", 2},
            {"Adv_AdvOpt", true}, {"Adv_MonthDay", 8}, {"Adv_MonthCount", 4}, {"Adv_NoEnd", false},
            {"Adv_DateEnd", dated(2027, 1, 1, 9)}};
        // clang-format on
        QVariantMap fields = advanced;
        fields.insert("RDate", dated(2026, 4, 1, 9));
        const qint32 id = f->add(fields);
        f->open();
        Date handed;
        cancelAdvancedOptions(&handed);
        click("cmdAdvOpt");
        QCOMPARE(handed, at(2026, 4, 1, 9, 0));
        QVERIFY(!f->window()->inEdit());
        caption()->setText(QStringLiteral("renamed"));
        key(Qt::Key_F9);
        QCOMPARE(mismatches(f->row(id), advanced), QString());
    }

    void tickedSendHandsTheSavedRowToTheLan()
    {
        const qint32 id = f->add({});
        QList<qint32> sent;
        RMain::setSendRUpdateHook([&sent](Dynaset&, qint32 newIndex, bool, const QString&) {
            sent << newIndex;
            return true;
        });
        f->open();
        click("LANSend");
        QVERIFY(f->window()->inEdit());
        key(Qt::Key_F9);
        QCOMPARE(sent, QList<qint32>{id});

        // With sending off the controls are disabled, and a tick set anyway sends nothing.
        f->close();
        LANOptSend = false;
        f->open();
        for (const char* name : {"LANSend", "OptSend_0", "OptSend_1", "cmdOptList"})
            QVERIFY2(!w(name)->isEnabled(), name);
        caption()->setText(QStringLiteral("quiet"));
        f->find<QCheckBox>("LANSend")->setChecked(true);
        key(Qt::Key_F9);
        QCOMPARE(sent.size(), 1);
    }
};

QTEST_MAIN(RMainEditorTest)
#include "tst_manager_editor.moc"
