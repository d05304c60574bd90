// The manager window's editor: modes, validation, the save and the keys.
#include "ManagerFixture.h"

#include "FrmAdvOpt.h"
#include "Ini.h"
#include "ManagerState.h"
#include "Prompt.h"
#include "Reminder.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The fields of row whose values differ from expected ("" when none); dates
// and Booleans compare as such, the rest as text.
QString mismatches(const QVariantMap& row, const QVariantMap& expected)
{
    QStringList differences;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QVariant actual = row.value(it.key());
        const QMetaType type = it.value().metaType();
        if (type == QMetaType::fromType<Date>()   ? dateField(actual) != it.value().value<Date>()
            : type == QMetaType::fromType<bool>() ? actual.toBool() != it.value().toBool()
                                                  : actual.toString() != it.value().toString())
            differences << it.key() + QStringLiteral(": ") + actual.toString();
    }
    return differences.join(QStringLiteral("; "));
}

} // namespace

class RMainEditorTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

    QLineEdit* caption() { return f->find<QLineEdit>("CCaption"); }
    QString status() { return f->find<QLabel>("LStatus")->text(); }
    void click(const char* name) { f->click(name); }
    void key(Qt::Key key)
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : f->window(), key);
    }

private slots:
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup() { f.reset(); }

    // Editing an inactive reminder's title switches it on and F12 drops the
    // change; a new reminder starts at now in whole minutes and F9 does not
    // save it before "שמור כחדש"; Escape closes the window, though not while editing.
    void editingNewAndTheKeys()
    {
        f->add({{"RCaption", "asleep"}, {"RActive", false}});
        f->open();
        caption()->setFocus();
        QTest::keyClick(caption(), Qt::Key_X);
        QVERIFY(f->window()->inEdit() && !f->find<QWidget>("List1")->isEnabled());
        QVERIFY(f->find<QRadioButton>("OptActive_0")->isChecked());
        key(Qt::Key_Escape); // ignored while editing
        key(Qt::Key_F12);
        QCOMPARE(status(), QStringLiteral(" שינוי בוטל"));
        QCOMPARE(caption()->text(), QStringLiteral("asleep"));
        QVERIFY(f->find<QRadioButton>("OptActive_1")->isChecked());

        click("cmdNew");
        QCOMPARE(f->find<QPushButton>("cmdNew")->text(), QStringLiteral("שמור כחדש"));
        QCOMPARE(f->find<QDateEdit>("CDate1")->date(), QDate(2026, 3, 15));
        QCOMPARE(f->find<QTimeEdit>("CDate2")->time(), QTime(10, 0));
        key(Qt::Key_F9);
        QCOMPARE(f->rowCount(), 1);
        key(Qt::Key_F12);
        QPointer<RMain> window = f->window();
        key(Qt::Key_Escape);
        QTRY_VERIFY(window.isNull());
    }

    // Refused with the field's message, the focus on it, nothing stored.
    void validationRefusesTheSave()
    {
        const QList<std::tuple<QString, int, int, QString, QString>> cases = {
            {"", 0, 0, "יש להזין כותרת", "CCaption"},
            {"t!", 7, 0, "יש להזין חשיבות", "CImportance"},
            {"t!", 1, 3, "יש להזיר סוג מופע", "CEventType"}};
        QList<qint32> ids;
        for (const auto& [title, importance, type, message, focus] : cases)
            ids << f->add({{"RCaption", "t"}, {"RImportance", importance}, {"REventType", type}});
        f->open();
        for (qsizetype i = 0; i < cases.size(); ++i) {
            const auto& [title, importance, type, message, focus] = cases[i];
            caption()->setFocus();
            caption()->setText(title);
            Prompt::setNextAnswer(Prompt::Answer::Ok);
            key(Qt::Key_F9);
            QCOMPARE(Prompt::history().last().text, message);
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
            QCOMPARE(f->row(ids[i]).value("RCaption").toString(), QStringLiteral("t"));
            key(Qt::Key_F12);
            click("cmdMoveRS_1");
        }
    }

    // A postponed reminder by another author with an advanced rule stored,
    // saved as bi-monthly: the title cleaned and cut, the due time taken as
    // the next, the type's unit looked up, the stored days kept, the author too.
    void saveWritesTheFieldsOfTheRecurrenceType()
    {
        // clang-format off
        const qint32 id = f->add({{"RCaption", "old"}, {"RDate", dated(2026, 4, 1, 9)},
            {"RNext", dated(2026, 4, 1, 9, 45)}, {"RAuthor", "other"}, {"REventType", 100},
            {"Adv_AdvOpt", true}, {"Adv_Period", 0}, {"Adv_PeriodN", 7}, {"Adv_WeekDay", 5},
            {"Adv_MonthDay", 3}, {"Adv_MonthCount", 2}, {"Adv_NoEnd", false}});
        // clang-format on
        f->open();
        caption()->setText(QStringLiteral("a\tb") + QString(57, 'x'));
        f->find<QDateEdit>("CDate1")->setDate(QDate(2026, 6, 2));
        f->find<QTimeEdit>("CDate2")->setTime(QTime(18, 30));
        f->find<QPlainTextEdit>("CDetail")->setPlainText(QStringLiteral("x\ty\nz"));
        f->find<QComboBox>("CEventType")->setCurrentIndex(5);
        key(Qt::Key_F9);

        QCOMPARE(status(), QStringLiteral(" תזכורת נשמרה"));
        const QVariant due = dated(2026, 6, 2, 18, 30);
        // clang-format off
        QCOMPARE(mismatches(f->row(id), {
            {"RCaption", (QStringLiteral("a b") + QString(57, 'x')).left(50)}, {"RDetail", "x y\r\nz"},
            {"RDate", due}, {"RNext", due}, {"REventType", 30}, {"Adv_Period", 4},
            {"Adv_PeriodN", 2}, {"Adv_AdvOpt", false}, {"Adv_NoEnd", true}, {"Adv_DateEnd", due},
            {"Adv_WeekDay", 5}, {"Adv_MonthDay", 3}, {"Adv_MonthCount", 2}, {"RAuthor", "other"},
            {"RActive", true}}), QString());
        // clang-format on
        QVERIFY(f->listLines().first().startsWith(QStringLiteral("02/06/2026 18:30")));
    }

    // The first reminder into an empty list; "שמור כחדש" over an edit leaves
    // the edited reminder as it was; an empty author is filled on save.
    void saveAsNewLeavesTheEditedReminderAsItWas()
    {
        f->open();
        click("cmdNew");
        caption()->setText(QStringLiteral("A"));
        click("cmdNew");
        QCOMPARE(f->counter(), QStringLiteral(" שורה 1 מתוך 1"));
        QCOMPARE(ReadIni("Reminder", "NextDate", "NULL"), QStringLiteral("150320261000"));
        const qint32 a = CurrentReminderId;
        f->sql(QStringLiteral("UPDATE Main_tbl SET RAuthor = NULL"));

        caption()->setText(QStringLiteral("B"));
        click("cmdNew");
        QCOMPARE(f->rowCount(), 2);
        QCOMPARE(f->row(a).value("RCaption").toString(), QStringLiteral("A"));
        const qint32 b = CurrentReminderId;
        QCOMPARE(f->listIds().at(f->selectedRow()), b);
        QCOMPARE(f->row(b).value("RAuthor").toString(), QStringLiteral("me"));
        QCOMPARE(reminderDate(b, "RDate0"), at(2026, 3, 15, 10, 0, 37));

        click("cmdMoveRS_3");
        caption()->setText(QStringLiteral("A2"));
        click("cmdSave");
        QCOMPARE(f->row(a).value("RAuthor").toString(), QStringLiteral("me"));

        // Deleted meanwhile by another process, the edited reminder is stored again.
        caption()->setText(QStringLiteral("A3"));
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(a));
        click("cmdSave");
        QCOMPARE(f->rowCount(), 2);
        QCOMPARE(f->row(CurrentReminderId).value("RCaption").toString(), QStringLiteral("A3"));
    }

    // A null due date shows, and reaches the advanced options, as a new
    // reminder's, never the zero date; a cancelled rule window and a save
    // keep the loaded rule, its null end included. (An accepted rule reaching
    // the record is the occurrence preview test's.)
    void nullDatesAndACancelledRuleKeepTheLoadedRule()
    {
        // clang-format off
        const QVariantMap rule = {{"REventType", 100}, {"Adv_Period", 4}, {"Adv_PeriodN", 2},
            {"Adv_AdvOpt", true}, {"Adv_MonthDay", 8}, {"Adv_MonthCount", 4}, {"Adv_NoEnd", false}};
        // clang-format on
        QVariantMap fields = rule;
        fields.insert({{"RDate", QVariant()}, {"RNext", QVariant()}, {"Adv_DateEnd", QVariant()}});
        const qint32 id = f->add(fields);
        f->open();
        QCOMPARE(f->find<QDateEdit>("CDate1")->date(), QDate(2026, 3, 15));
        QCOMPARE(f->find<QTimeEdit>("CDate2")->time(), QTime(10, 0));
        Date handed;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(qobject_cast<FrmAdvOpt*>(QApplication::activeModalWidget()));
            handed = AdvOptions.StartDate;
            QApplication::activeModalWidget()->close();
        });
        click("cmdAdvOpt");
        QCOMPARE(handed, at(2026, 3, 15, 10, 0));
        caption()->setText(QStringLiteral("renamed"));
        key(Qt::Key_F9);
        QCOMPARE(mismatches(f->row(id), rule), QString());
        QCOMPARE(reminderDate(id, "RDate"), at(2026, 3, 15, 10, 0));
        QVERIFY(f->row(id).value("Adv_DateEnd").isNull());
    }
};

QTEST_MAIN(RMainEditorTest)
#include "tst_manager_editor.moc"
