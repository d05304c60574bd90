// Sharing from the manager window with a peer on loopback: the recipient list
// window, and what a save does not send (what it sends is shown end to end).
#include "LanPeer.h"
#include "ManagerFixture.h"

#include "LanSend.h"
#include "LanText.h"
#include "ManagerState.h"
#include "ProcessLANMsg.h"
#include "Prompt.h"
#include "SendRUpdate.h"
#include "frmList.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

QStringList items(const QWidget* window, const char* list)
{
    QStringList names;
    for (const auto* box = window->findChild<QListWidget*>(list); names.size() < box->count();)
        names << box->item(int(names.size()))->text();
    return names;
}

void click(QWidget* window, const char* name)
{
    QTest::mouseClick(window->findChild<QWidget*>(name), Qt::LeftButton);
}

// A window that has had its wait for answers.
QStringList available()
{
    frmList window(QString(), 0);
    window.show();
    const QTimer* wait = window.findChild<QTimer*>("Timer1");
    QTest::qWaitFor([wait] { return !wait->isActive(); });
    return items(&window, "List1");
}

} // namespace

class TestFrmList : public QObject
{
    Q_OBJECT

private slots:
    // Every opening asks until somebody answers; the answers of the wait
    // show sorted ordinally with duplicates, a later one at the next opening,
    // which asks no more.
    void discovery()
    {
        ManagerFixture f;
        LanPeer peer;
        setBroadcastTarget(LanPeer::kAddress);
        Listeners.clear();
        const auto answer = [](const char* nick) {
            ProcessLANMsg(lanTextFromBytes(QByteArray("127.0.0.2\tIAM\t") + nick + "\t"));
        };
        QVERIFY(available().isEmpty() && peer.next().endsWith("\tWHL\t"));
        QTimer::singleShot(0, [&] {
            for (const char* nick : {"beta", "Zed", "beta"})
                answer(nick);
        });
        QCOMPARE(available(), (QStringList{"Zed", "beta", "beta"}));
        QVERIFY(peer.next().endsWith("\tWHL\t"));
        answer("late");
        QCOMPARE(available(), (QStringList{"Zed", "beta", "beta", "late"}));
        QVERIFY(peer.silent());
        setBroadcastTarget(QString());
    }

    // From the manager window: the acknowledgements of the loaded reminder,
    // sorted; "<<", ">>" and ">" move names; confirming hands back the sorted
    // list and arms the send to it, and an empty list leaves the send options alone.
    void chooseRecipients()
    {
        ManagerFixture f;
        RMain::setLanWindows({&frmList::choose, nullptr, nullptr});
        Listeners = QStringList{"beta", "alpha", "beta"};
        f.add({{"SentTo", "beta\r"}, {"ReceivedBy", "beta\ralpha\rbeta\r"}});
        f.open();
        const auto inWindow = [&](const std::function<void(frmList*)>& steps) {
            QTimer::singleShot(0, [&] {
                QTRY_VERIFY(qobject_cast<frmList*>(QApplication::activeModalWidget()));
                steps(qobject_cast<frmList*>(QApplication::activeModalWidget()));
            });
            click(f.window(), "cmdOptList");
        };
        inWindow([](frmList* w) {
            QCOMPARE(items(w, "List3"), (QStringList{"alpha", "beta", "beta"}));
            click(w, "cmdRightAll");
            click(w, "cmdLeftAll");
            w->findChild<QListWidget*>("List2")->setCurrentRow(2);
            click(w, "cmdRight");
            QTest::keyClick(w, Qt::Key_F9);
        });
        QCOMPARE(CurrentSentTo, QString("alpha\rbeta\r"));
        QVERIFY(f.find<QRadioButton>("OptSend_1")->isChecked() &&
                f.find<QCheckBox>("LANSend")->isChecked() && f.window()->inEdit());
        f.find<QRadioButton>("OptSend_0")->setChecked(true);
        inWindow([](frmList* w) {
            click(w, "cmdRightAll");
            click(w, "cmdSave");
        });
        QVERIFY(CurrentSentTo.isEmpty() && f.find<QRadioButton>("OptSend_0")->isChecked());
        RMain::setLanWindows({});
    }

    // Each is saved and not sent, says why, and keeps its network fields.
    void whatIsNotSent()
    {
        LanPeer peer;
        setBroadcastTarget(LanPeer::kAddress);
        const struct
        {
            QVariantMap fields;
            const char* audience;
            QString told;
        } cases[] = {{{{"IAMAuthor", 0}, {"BroadcastId", 9}},
                      "OptSend_0",
                      "לא ניתן לשלוח עדכון לתזכורת שלא את/אתה המחבר שלה"},
                     {{}, "OptSend_1", "רשימת הנמענים ריקה"}};
        for (const auto& c : cases) {
            ManagerFixture f;
            RMain::setSendRUpdateHook(&SendRUpdate);
            const qint32 id = f.add(c.fields);
            f.open();
            CurrentSentTo.clear();
            QTest::mouseClick(f.find<QWidget>(c.audience), Qt::LeftButton);
            Prompt::clearHistory();
            Prompt::setNextAnswer(Prompt::Answer::Ok);
            QTest::keyClick(f.window(), Qt::Key_F9);
            QVERIFY(peer.silent());
            QCOMPARE(f.row(id).value("BroadcastId"), c.fields.value("BroadcastId", 0));
            QCOMPARE(f.find<QLabel>("LStatus")->text(), QString(" תזכורת נשמרה אך לא נשלחה ברשת"));
            QCOMPARE(Prompt::history().value(0).text, c.told);
        }
        setBroadcastTarget(QString());
        RMain::setSendRUpdateHook(nullptr);
    }
};

QTEST_MAIN(TestFrmList)
#include "tst_frmlist.moc"
