// The options window (own settings file and auto-start folder), the recipient list window
// and what a save does not send, with a peer on loopback.
#include "tests/lan/LanPeer.h"
#include "tests/manager/ManagerFixture.h"

#include "common/Ini.h"
#include "common/LanText.h"
#include "lan/FrmLANOpt.h"
#include "lan/LanSend.h"
#include "lan/ProcessLANMsg.h"
#include "lan/RestartMonitor.h"
#include "lan/SendRUpdate.h"
#include "lan/frmList.h"
#include "manager/ManagerState.h"
#include "platform/AutoStart.h"
#include "platform/ProgramDir.h"
#include "platform/ui/Prompt.h"

#include <QtTest>
#include <QtWidgets>

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

QStringList available()
{
    frmList window(QString(), 0);
    window.show();
    const QTimer* wait = window.findChild<QTimer*>("Timer1");
    QTest::qWaitFor([wait] { return !wait->isActive(); });
    return items(&window, "List1");
}

} // namespace

class TestLanWindows : public QObject
{
    Q_OBJECT
    QTemporaryDir m_programDir{QDir::tempPath() +
                               "/prog \"dir XXXXXX"}; // needs quoting in an entry
    QTemporaryDir m_config;
    const QString kEntry = QStringLiteral("Veltrum Reminder");
    std::unique_ptr<FrmLANOpt> w;

    template <typename T> T* find(const char* name) { return w->findChild<T*>(name); }
    void open()
    {
        w = std::make_unique<FrmLANOpt>();
        w->show();
    }
    void save()
    {
        Prompt::clearHistory();
        Prompt::setNextAnswer(Prompt::Answer::Ok);
        QTest::keyClick(w.get(), Qt::Key_F9);
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        ProgramDir::setOverride(m_programDir.path());
    }

    // Checked only with LAN on, except the nickname's width (it authors every reminder);
    // a refusal says why, writes nothing and keeps the window open.
    void validation()
    {
        const QString none = "<none>";
        const QList<std::tuple<bool, QString, QString, QString, QString>> cases = {
            {false, "", "abc", "", "abc"},
            {true, "me", "0217", "", "0217"},
            {true, "me", "0", "יש להגדיר מספר פורט", none},
            {true, "", "217", "יש להגדיר כינוי ברשת", none},
            {false, "1234567890", "217", "הכינוי ברשת ארוך מדי: עד 9 תווים", none}};
        for (const auto& [lanOn, nick, port, refusal, storedPort] : cases) {
            QFile::remove(iniFilePath());
            open();
            find<QCheckBox>("OptSend")->setChecked(false);
            find<QCheckBox>("OptReceive")->setChecked(lanOn);
            find<QLineEdit>("txtNick")->setText(nick);
            find<QLineEdit>("txtPort")->setText(port);
            save();
            QCOMPARE(w->isVisible(), !refusal.isEmpty());
            QCOMPARE(Prompt::history().value(0).text, refusal);
            QCOMPARE(ReadIni("LAN_Settings", "Port", none), storedPort);
        }
    }

    // Changed only with the box, then valid and starting this installation's Tolvane.
    void autoStart()
    {
        AutoStart::set(kEntry, "/opt/other/Tolvane", "x");
        open();
        save();
        QCOMPARE(AutoStart::program(kEntry).value_or("none"), QString("/opt/other/Tolvane"));
        find<QCheckBox>("Opt_AutoRun")->setChecked(true);
        save();
        QCOMPARE(AutoStart::program(kEntry).value_or("none"), MonitorProgram());
        QProcess validate;
        validate.start("desktop-file-validate", {AutoStart::entryPath(kEntry)});
        QVERIFY(validate.waitForFinished());
        QCOMPARE(validate.exitCode(), 0);
        open();
        find<QCheckBox>("Opt_AutoRun")->setChecked(false);
        save();
        QVERIFY(!AutoStart::program(kEntry));
    }

    // Reloaded after the window: a changed switch restarts Tolvane; the list follows.
    void managerTakesNewSettings()
    {
        ManagerFixture f;
        f.add({});
        f.open();
        int restarts = 0;
        RMain::setLanWindows({nullptr,
                              [](QWidget*) { WriteLANSettings(false, false, "you", "217"); },
                              [&] { ++restarts; }});
        f.click("cmdDefinitions");
        QCOMPARE(restarts, 1);
        QCOMPARE(LANNick, QString("you"));
        QVERIFY(!f.find<QWidget>("ListLabel_7")->isVisible());
        QVERIFY(!f.find<QWidget>("cmdOptList")->isEnabled());
        RMain::setLanWindows({});
    }

    // Each opening asks until somebody answered; answers sorted ordinally, each name once.
    void discovery()
    {
        ManagerFixture f;
        LanPeer peer;
        setBroadcastTarget(LanPeer::kAddress);
        Listeners.clear();
        const auto answer = [](const char* nick) {
            ProcessLANMsg(lanTextFromBytes(QByteArray("127.0.0.2\tIAM\t") + nick + "\t"));
        };
        QCOMPARE(available(), QStringList());
        QVERIFY(peer.next().endsWith("\tWHL\t"));
        QTimer::singleShot(0, [&] {
            for (const char* nick : {"beta", "Zed", "beta"})
                answer(nick);
        });
        QCOMPARE(available(), (QStringList{"Zed", "beta"}));
        QVERIFY(peer.next().endsWith("\tWHL\t"));
        answer("late");
        QCOMPARE(available(), (QStringList{"Zed", "beta", "late"}));
        QVERIFY(peer.silent());
        setBroadcastTarget(QString());
    }

    // The loaded reminder's acknowledgements, sorted and following those stored meanwhile;
    // confirming hands back the sorted list and arms the send; an empty list leaves the send
    // options alone.
    void chooseRecipients()
    {
        ManagerFixture f;
        RMain::setLanWindows({&frmList::choose, nullptr, nullptr});
        Listeners = QStringList{"beta", "alpha", "beta"};
        f.add({{"SentTo", "beta\r"}, {"ReceivedBy", "beta\ralpha\rbeta\r"}});
        f.open();
        const auto inWindow = [&](const std::function<void(QWidget*)>& steps) {
            return whileModal([&] { click(f.window(), "cmdOptList"); },
                              [&](QWidget* w) {
                                  QVERIFY(qobject_cast<frmList*>(w));
                                  steps(w);
                              });
        };
        QVERIFY(inWindow([&](QWidget* w) {
            QCOMPARE(items(w, "List3"), (QStringList{"alpha", "beta", "beta"}));
            // An acknowledgement stored while the window is open shows in it.
            f.sql("UPDATE Main_tbl SET ReceivedBy = ReceivedBy || 'gamma' || char(13)");
            QTRY_COMPARE(items(w, "List3"), (QStringList{"alpha", "beta", "beta", "gamma"}));
            click(w, "cmdRightAll");
            click(w, "cmdLeftAll");
            w->findChild<QListWidget*>("List2")->setCurrentRow(2);
            click(w, "cmdRight");
            QTest::keyClick(w, Qt::Key_F9);
        }));
        QCOMPARE(CurrentSentTo, QString("alpha\rbeta\r"));
        QVERIFY(f.find<QRadioButton>("OptSend_1")->isChecked());
        QVERIFY(f.find<QCheckBox>("LANSend")->isChecked());
        QVERIFY(f.window()->inEdit());
        f.find<QRadioButton>("OptSend_0")->setChecked(true);
        QVERIFY(inWindow([](QWidget* w) {
            click(w, "cmdRightAll");
            click(w, "cmdSave");
        }));
        QCOMPARE(CurrentSentTo, QString());
        QVERIFY(f.find<QRadioButton>("OptSend_0")->isChecked());
        RMain::setLanWindows({});
    }

    // Saved, not sent, told why, network fields kept.
    void whatIsNotSent()
    {
        LanPeer peer;
        setBroadcastTarget(LanPeer::kAddress);
        const QList<std::tuple<QVariantMap, const char*, QString>> cases = {
            {{{"IAMAuthor", 0}, {"BroadcastId", 9}},
             "OptSend_0",
             "לא ניתן לשלוח עדכון לתזכורת שלא את/אתה המחבר שלה"},
            {{}, "OptSend_1", "רשימת הנמענים ריקה"}};
        for (const auto& [fields, audience, told] : cases) {
            ManagerFixture f;
            RMain::setSendRUpdateHook(&SendRUpdate);
            const qint32 id = f.add(fields);
            f.open();
            CurrentSentTo.clear();
            QTest::mouseClick(f.find<QWidget>(audience), Qt::LeftButton);
            Prompt::clearHistory();
            Prompt::setNextAnswer(Prompt::Answer::Ok);
            QTest::keyClick(f.window(), Qt::Key_F9);
            QVERIFY(peer.silent());
            QCOMPARE(f.row(id).value("BroadcastId").toInt(),
                     fields.value("BroadcastId", 0).toInt());
            QCOMPARE(Prompt::history().value(0).text, told);
        }
        setBroadcastTarget(QString());
        RMain::setSendRUpdateHook(nullptr);
    }
};

QTEST_MAIN(TestLanWindows)
#include "tst_frmlist.moc"
