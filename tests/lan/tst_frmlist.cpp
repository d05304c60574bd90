// The options window (own settings file and auto-start folder), the recipient list window
// and what a save does not send, with a peer on loopback.
#include "tests/support/LanPeer.h"
#include "tests/support/ManagerFixture.h"
#include "tests/support/SigningPeer.h"
#include "tests/support/TestFiles.h"

#include "alert/Remind.h"
#include "broker/BrokerAddress.h"
#include "broker/BrokerPassword.h"
#include "broker/BrokerTopics.h"
#include "common/AutoRunEntry.h"
#include "common/Ini.h"
#include "common/LanText.h"
#include "lan/ColleaguesSeen.h"
#include "lan/FrmLANOpt.h"
#include "lan/LanSend.h"
#include "lan/ProcessLANMsg.h"
#include "lan/RestartMonitor.h"
#include "lan/SendRUpdate.h"
#include "lan/SenderTrust.h"
#include "lan/frmList.h"
#include "manager/ListTable.h"
#include "manager/ManagerState.h"
#include "manager/ReceiptsBar.h"
#include "platform/AutoStart.h"
#include "platform/ProgramDir.h"
#include "platform/ui/Prompt.h"
#include "scheduling/DaysOffSetting.h"
#include "trust/Fingerprint.h"
#include "trust/TrustFiles.h"

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

// Which way the glyphs of a button point, as drawn: the tip of "<" is one dark point at the
// middle of its leftmost column, while its rightmost column is dark at both ends.
QString pointing(QPushButton* button)
{
    const QImage image = button->grab().toImage();
    const QRect inside = button->rect().adjusted(4, 4, -4, -4);
    QList<int> columns;
    for (int x = inside.left(); x <= inside.right(); ++x)
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            if (qGray(image.pixel(x, y)) < 100 && !columns.contains(x))
                columns << x;
    if (columns.isEmpty())
        return "nothing drawn";
    // The spread of the dark pixels of a column around their middle.
    const auto spread = [&](int x) {
        int top = image.height(), bottom = -1;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            if (qGray(image.pixel(x, y)) < 100)
                top = std::min(top, y), bottom = std::max(bottom, y);
        return bottom - top;
    };
    return spread(columns.first()) < spread(columns.last()) ? "left" : "right";
}

} // namespace

class TestLanWindows : public QObject
{
    Q_OBJECT
    QTemporaryDir m_programDir{QDir::tempPath() +
                               "/prog \"dir XXXXXX"}; // needs quoting in an entry
    QTemporaryDir m_config;
    const AutoStart::Entry kEntry = AutoRunEntry::entry;
    std::unique_ptr<FrmLANOpt> w;

    std::optional<LanPeer> m_peer;

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
    // The peer that every datagram of the test goes to, from now on.
    LanPeer& peer()
    {
        m_peer.emplace();
        setBroadcastTarget(LanPeer::kAddress);
        return *m_peer;
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8()); }
    void init() { ProgramDir::setOverride(m_programDir.path()); } // a fixture's took its place
    void cleanup()
    {
        w.reset(), m_peer.reset();
        setBroadcastTarget(QString());
        RMain::setLanWindows({}), RMain::setSendRUpdateHook(nullptr), ReceiptsBar::setHooks({});
        Listeners.clear();
    }

    // The LAN's fields are checked only with LAN on, except the nickname's width (it authors
    // every reminder); the broker's address and user always. A refusal says why, in Hebrew,
    // writes nothing and keeps the window open; the broker's password is kept in its own file,
    // never in the settings; the relay switch is stored.
    void validation()
    {
        const QString none = "<none>", address = whyNotBrokerAddress(),
                      user = BrokerTopics::whyNotTopicUser();
        // OptReceive, txtNick, txtPort, txtBrokerAddress, txtBrokerUser; the refusal; the port
        // and the broker's address stored.
        const QList<QStringList> cases = {
            {"", "", "abc", "", "", "", "abc", none},
            {"on", "me", "0217", "", "", "", "0217", none},
            {"on", "me", "0", "", "", "יש להגדיר מספר פורט", none, none},
            {"on", "", "217", "", "", "יש להגדיר כינוי ברשת", none, none},
            {"", "1234567890", "217", "", "", "הכינוי ברשת ארוך מדי: עד 9 תווים", none, none},
            {"", "", "217", "http://broker", "me", address, none, none},
            {"", "", "217", "mqtt://broker/x", "me", address, none, none},
            {"", "", "217", "mqtt://broker", "a/b", user, none, none},
            {"", "", "217", "mqtt://broker", "", user, none, none},
            {"", "", "217", "mqtts://broker:8883", "me", "", "217", "mqtts://broker:8883"}};
        for (const QStringList& c : cases) {
            QFile::remove(iniFilePath());
            open();
            find<QCheckBox>("OptSend")->setChecked(false);
            find<QCheckBox>("OptReceive")->setChecked(!c[0].isEmpty());
            const char* fields[] = {"txtNick", "txtPort", "txtBrokerAddress", "txtBrokerUser"};
            for (int i = 0; i < 4; ++i)
                find<QLineEdit>(fields[i])->setText(c[i + 1]);
            find<QLineEdit>("txtBrokerPassword")->setText("s3cret");
            find<QCheckBox>("OptRelay")->setChecked(true);
            save();
            QCOMPARE(w->isVisible(), !c[5].isEmpty());
            QCOMPARE(Prompt::history().value(0).text, c[5]);
            QCOMPARE(ReadIni("LAN_Settings", "Port", none), c[6]);
            QCOMPARE(ReadIni("Broker", "Address", none), c[7]);
        }
        QCOMPARE(ReadIni("Broker", "Relay", none), QString("1"));
        QTRY_COMPARE(fileBytes(BrokerPassword::fallbackFile()), QByteArray("s3cret\n"));
        QVERIFY(!fileBytes(iniFilePath()).contains("s3cret"));
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
        validate.start("desktop-file-validate", {AutoStart::entryPath(kEntry.name)});
        QVERIFY(validate.waitForFinished());
        QCOMPARE(validate.exitCode(), 0);
        open();
        find<QCheckBox>("Opt_AutoRun")->setChecked(false);
        save();
        QVERIFY(!AutoStart::program(kEntry));
    }

    // What the office locked shows disabled, saying so; a save leaves it as the office set it.
    void officeLockedSettings()
    {
        QTemporaryDir office;
        QDir().mkpath(office.path() + "/veltrum-reminder");
        writeBytes(office.path() + "/veltrum-reminder/Kalvex.ini",
                   "[LAN_Settings]\nPort=3217\n[Locked]\nLAN_Settings=Port\n");
        qputenv("XDG_CONFIG_DIRS", office.path().toUtf8());
        QFile::remove(iniFilePath());
        open();
        for (const char* name : {"OptSend", "OptReceive", "txtNick", "txtPort"}) {
            auto* control = find<QWidget>(name);
            const bool locked = QByteArray(name) == "txtPort";
            QCOMPARE(control->isEnabled(), !locked);
            QCOMPARE(control->toolTip(),
                     locked ? QString("ההגדרה נקבעה על ידי המשרד ואי אפשר לשנות אותה כאן") : "");
        }
        QCOMPARE(find<QLineEdit>("txtPort")->text(), QString("3217"));
        find<QLineEdit>("txtNick")->setText("me");
        save();
        QCOMPARE(ReadIni("LAN_Settings", "Nick", ""), QString("me"));
        QVERIFY(!QString::fromUtf8(fileBytes(iniFilePath())).contains("Port"));
        qunsetenv("XDG_CONFIG_DIRS");
    }

    // Reloaded after the window: a changed switch restarts Tolvane, unless the window did for the
    // broker; the list follows.
    void managerTakesNewSettings_data()
    {
        QTest::addColumn<bool>("restartedByOptions");
        QTest::addColumn<int>("restarts");
        QTest::newRow("LAN changed") << false << 1;
        QTest::newRow("and broker, restarted") << true << 0;
    }
    void managerTakesNewSettings()
    {
        QFETCH(bool, restartedByOptions);
        ManagerFixture f;
        f.add({});
        f.open();
        int restarts = 0;
        RMain::setLanWindows({nullptr,
                              [&](QWidget*) {
                                  WriteLANSettings(false, false, "you", "217");
                                  return restartedByOptions;
                              },
                              [&] { ++restarts; }});
        f.click("cmdDefinitions");
        QTEST(restarts, "restarts");
        QCOMPARE(LANNick, QString("you"));
        QCOMPARE(f.find<ListTable>("List1")->sectionOfHeader(7), -1); // no author column
        QVERIFY(!f.find<QWidget>("cmdOptList")->isEnabled());
    }

    // Each opening asks until somebody answered; answers sorted ordinally, each name once.
    void discovery()
    {
        ManagerFixture f;
        LanPeer& peer = this->peer();
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
    }

    // Days off count until their box is cleared, only signed datagrams once the office's policy
    // is set: each stored by a save and shown so again; this installation's fingerprint shows.
    void boxesAreStoredBySave()
    {
        open();
        QVERIFY(find<QCheckBox>("OptHolidays")->isChecked());
        QVERIFY(!find<QCheckBox>("OptSignedOnly")->isChecked());
        QVERIFY(find<QLabel>("LblFingerprint")
                    ->text()
                    .contains(QRegularExpression("\\d{5} \\d{5} \\d{5} \\d{5} \\d{5}")));
        find<QCheckBox>("OptHolidays")->setChecked(false);
        find<QCheckBox>("OptSignedOnly")->setChecked(true);
        save();
        QVERIFY(!IsraeliHolidaysOff());
        QCOMPARE(ReadIni("LAN_Settings", "Trust", "<none>"), QString("signed"));
        open();
        QVERIFY(!find<QCheckBox>("OptHolidays")->isChecked());
        QVERIFY(find<QCheckBox>("OptSignedOnly")->isChecked());
    }

    // A bad list of extra addresses is refused beside the field, keeping what was typed and
    // writing nothing; a good one is stored and shown again. Documentation addresses only,
    // and the list is gone before anything else here sends.
    void extraAddressesAreCheckedBesideTheField()
    {
        QFile::remove(iniFilePath());
        const QString bad = "203.0.113.0/24, 127.0.0.1", good = "203.0.113.0/24, colleague.example";
        for (const QString& typed : {bad, good}) {
            open();
            find<QLineEdit>("txtExtraAddresses")->setText(typed);
            save();
            QCOMPARE(w->isVisible(), typed == bad);
            QCOMPARE(find<QLabel>("LblExtraRefused")->isVisible(), typed == bad);
            QCOMPARE(find<QLineEdit>("txtExtraAddresses")->text(), typed);
            QCOMPARE(Prompt::history().size(), 0);
        }
        QCOMPARE(ReadIni("LAN_Settings", "ExtraAddresses", "<none>"),
                 QString("203.0.113.0/24,colleague.example"));
        open();
        QCOMPARE(find<QLineEdit>("txtExtraAddresses")->text(),
                 QString("203.0.113.0/24,colleague.example"));
        QFile::remove(iniFilePath());
    }

    // A colleague's state, fingerprint and where it was seen show beside the available users;
    // "אשר" marks the fingerprint compared; another key for a pinned nickname is refused, listed
    // with both fingerprints; "שכח" lets the next signed datagram pin the nickname anew.
    void aColleaguesKeyIsConfirmedRefusedOrForgotten()
    {
        ManagerFixture f;
        resetSenderTrust();
        SigningPeer dana, danasNewKey;
        ProcessLANMsg(lanTextFromBytes(dana.sign("127.0.0.2\tIAM\tdana\t")));
        ProcessLANMsg(lanTextFromBytes("127.0.0.3\tIAM\twin\t"));
        ProcessLANMsg(lanTextFromBytes("10.9.8.7\tIAM\tfar\t"), "mqtt:ufar");
        ProcessLANMsg(lanTextFromBytes("10.9.8.6\tIAM\twide\t"), "relay:ur:10.1.2.3");
        frmList window(QString(), 0);
        window.show();
        auto* list = window.findChild<QListWidget*>("List1");
        const auto* label = window.findChild<QLabel*>("LblColleague");
        const auto* confirm = window.findChild<QPushButton*>("cmdConfirm");
        const auto shows = [&](const char* name) {
            list->setCurrentItem(nullptr);
            list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
            return label->text();
        };
        QCOMPARE(shows("win"), QString("win: Windows, נראה ברשת המקומית (127.0.0.3)"));
        QCOMPARE(shows("far"), QString("far: Windows, נראה דרך שרת ההודעות (ufar)"));
        QCOMPARE(shows("wide"), QString("wide: Windows, נראה דרך הממסר ur (10.1.2.3)"));
        QVERIFY(!confirm->isEnabled());
        QVERIFY(shows("dana").startsWith("dana: לא מאומת, טביעת אצבע "));
        QVERIFY(shows("dana").contains(keyFingerprint(dana.key())));
        click(&window, "cmdConfirm");
        QVERIFY(shows("dana").startsWith("dana: אומת,"));
        QVERIFY(fileBytes(TrustFiles::colleaguesFile()).endsWith("\t1\n"));
        ProcessLANMsg(lanTextFromBytes(danasNewKey.sign("127.0.0.2\tIAM\tdana\t")));
        const QString refused = shows("dana");
        QVERIFY(refused.startsWith("dana: מפתח אחר נדחה."));
        QVERIFY(refused.contains(keyFingerprint(dana.key())));
        QVERIFY(refused.contains(keyFingerprint(danasNewKey.key())));
        click(&window, "cmdForget");
        QCOMPARE(shows("dana"), QString("dana: Windows, נראה ברשת המקומית (127.0.0.2)"));
        QCOMPARE(fileBytes(TrustFiles::colleaguesFile()), QByteArray());
        ProcessLANMsg(lanTextFromBytes(danasNewKey.sign("127.0.0.2\tIAM\tdana\t")));
        QVERIFY(shows("dana").contains(keyFingerprint(danasNewKey.key())));
        // A nickname refused though never seen is listed, so that it can be forgotten.
        SigningPeer eve, eveForged;
        ProcessLANMsg(lanTextFromBytes(eve.sign(updateDatagram("127.0.0.2", 41, "eve"))));
        ProcessLANMsg(lanTextFromBytes(eveForged.sign(updateDatagram("127.0.0.2", 42, "eve"))));
        frmList again(QString(), 0);
        QVERIFY(items(&again, "List1").contains("eve"));
    }

    // A copy from an unsigned datagram (a Windows peer's) shows "לא מאומת" beside its author in
    // the list and in its alert; a signed copy shows its author alone.
    void anUnsignedCopyShowsItsAuthorUnverified()
    {
        ManagerFixture f;
        resetSenderTrust();
        SigningPeer dana;
        for (const QByteArray& copy : {updateDatagram("127.0.0.3", 31, "win"),
                                       dana.sign(updateDatagram("127.0.0.2", 32, "dana"))})
            ProcessLANMsg(lanTextFromBytes(copy));
        f.open();
        const auto* list = f.find<ListTable>("List1");
        const int author = list->sectionOfHeader(7);
        QStringList authors, tips;
        QList<bool> alertsMarked;
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            authors << list->model()->index(row, author).data().toString();
            tips << list->model()->index(row, author).data(Qt::ToolTipRole).toString();
            auto* alert = new Remind;
            alert->RLoad(list->model()->index(row, 0).data(Qt::UserRole).toInt());
            alertsMarked << alert->findChild<QLabel*>("LblUnverified")->isVisible();
            if (row == 0)
                QVERIFY(alert->findChild<QLabel*>("LblUnverified")->text().contains("\"win\""));
            alert->close();
        }
        QCOMPARE(authors, (QStringList{"win (לא מאומת)", "dana"}));
        QVERIFY(tips.value(0).startsWith("לא מאומת: התזכורת הגיעה בהודעה לא חתומה"));
        QCOMPARE(alertsMarked, (QList<bool>{true, false}));
    }

    // In the right-to-left window each arrow points from the list it takes names from to the
    // list it puts them in, and has a name a screen reader can say.
    void arrowsPointWhereTheNamesGo()
    {
        frmList window(QString(), 0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto x = [&](const char* list) {
            return window.findChild<QWidget*>(list)->geometry().center().x();
        };
        const QString towardsRecipients = x("List2") < x("List1") ? "left" : "right";
        const QString back = towardsRecipients == "left" ? "right" : "left";
        for (const auto& [arrow, way] :
             {std::pair{"cmdLeft", towardsRecipients}, std::pair{"cmdLeftAll", towardsRecipients},
              std::pair{"cmdRight", back}, std::pair{"cmdRightAll", back}}) {
            QCOMPARE(arrow + pointing(window.findChild<QPushButton*>(arrow)), arrow + way);
            QVERIFY2(!window.findChild<QPushButton*>(arrow)->accessibleName().isEmpty(), arrow);
        }
    }

    // "רענן" forgets who answered and asks again; answers show as they come; when nobody
    // answers within a second the window says so and why that may be.
    void refreshAsksAgainAndTellsWhenNobodyAnswers()
    {
        ManagerFixture f;
        LanPeer& peer = this->peer();
        Listeners = QStringList{"renamed"};
        frmList window(QString(), 0);
        window.show();
        QCOMPARE(items(&window, "List1"), QStringList{"renamed"});
        QVERIFY(peer.silent());
        auto* told = window.findChild<QLabel*>("LblNoAnswer");
        auto* silence = window.findChild<QTimer*>("TimerSilence");
        for (const QStringList& answers : {QStringList{"new"}, QStringList{}}) {
            click(&window, "cmdRefresh");
            QVERIFY(peer.next().endsWith("\tWHL\t"));
            QCOMPARE(items(&window, "List1"), QStringList());
            QTRY_VERIFY(!window.findChild<QTimer*>("Timer1")->isActive());
            for (const QString& nick : answers)
                ProcessLANMsg("127.0.0.2\tIAM\t" + nick + "\t");
            QTRY_COMPARE(items(&window, "List1"), answers);
            QTRY_VERIFY(!silence->isActive());
            QCOMPARE(told->isVisible(), answers.isEmpty());
        }
        QVERIFY(told->text().contains(QString::number(LANPort)));
        QVERIFY(told->text().contains("חומת אש"));
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
    }

    // Saved, not sent, told why, network fields kept.
    void whatIsNotSent()
    {
        LanPeer& peer = this->peer();
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
    }

    // Beside the share controls: who acknowledged and who not yet, current as acknowledgements
    // arrive; "שלח שוב לחסרים" sends to those only, under the same identity, the receipts kept.
    void theEditorShowsWhoIsMissing()
    {
        LanPeer& peer = this->peer();
        ReceiptsBar::setHooks({[] { return Listeners; }, &SendRUpdateTo});
        Listeners = QStringList{"gamma", "beta", "delta"};
        ManagerFixture f;
        const QList<std::tuple<QString, QString, QString>> cases = {
            {"beta\rdelta\r", "delta\r", "אישרו קבלה: delta   טרם אישרו: beta"},
            {"", "beta\r", "אישרו קבלה: beta   טרם אישרו: delta, gamma"}};
        for (const auto& [sentTo, receivedBy, shown] : cases) {
            const qint32 id = f.add({{"IAMAuthor", 1},
                                     {"BroadcastId", 55},
                                     {"SentTo", sentTo},
                                     {"ReceivedBy", receivedBy}});
            f.open();
            auto* receipts = f.find<QLabel>("LblReceipts");
            QCOMPARE(receipts->text(), shown);
            f.click("cmdResendMissing");
            const QList<QByteArray> sent = peer.next().split('\t');
            QCOMPARE(
                sent.value(2) + '|' + sent.value(3),
                QByteArray(shown.section("טרם אישרו: ", 1).replace(", ", "\r").toUtf8() + "\r|55"));
            QCOMPARE(f.row(id).value("ReceivedBy").toString(), receivedBy);
            QCOMPARE(f.row(id).value("SentTo").toString(), sentTo);
            const QString missing = shown.section("טרם אישרו: ", 1);
            ProcessLANMsg("127.0.0.2\tACK\t55\t" + missing.section(", ", 0, 0) + "\t");
            QTRY_COMPARE(receipts->text().section("טרם אישרו: ", 1),
                         missing.contains(", ") ? missing.section(", ", 1) : "אין");
            f.close();
            f.sql("DELETE FROM Main_tbl");
        }
    }

    // The colleagues seen in an earlier run (an announcement, a receipt of ours) show at once
    // and count among those who have not acknowledged; this run's answers join them.
    void colleaguesSeenBeforeAreKnownAtOnce()
    {
        LanPeer& peer = this->peer();
        ReceiptsBar::setHooks({&ColleaguesKnown, &SendRUpdateTo});
        ManagerFixture f;
        f.add({{"IAMAuthor", 1}, {"BroadcastId", 55}});
        for (const char* seen : {"127.0.0.2\tIAM\tgamma\t", "127.0.0.2\tACK\t55\tkappa\t",
                                 "127.0.0.2\tACK\t56\tghost\t"})
            ProcessLANMsg(seen);
        Listeners.clear(); // a new run (names of their own: a run notes a name once a minute)
        f.open();
        QCOMPARE(f.find<QLabel>("LblReceipts")->text(),
                 QString("אישרו קבלה: kappa   טרם אישרו: gamma"));
        frmList window(QString(), 0);
        window.show();
        QCOMPARE(items(&window, "List1"), (QStringList{"gamma", "kappa"}));
        QVERIFY(peer.next().endsWith("\tWHL\t"));
        ProcessLANMsg("127.0.0.2\tIAM\tzeta\t");
        QTRY_COMPARE(items(&window, "List1"), (QStringList{"gamma", "kappa", "zeta"}));
    }

    // Characters the LAN's code page lacks go as "?", and the status line names them.
    void charactersOutsideTheCodePageGoAsQuestionMarks()
    {
        LanPeer& peer = this->peer();
        ManagerFixture f;
        RMain::setSendRUpdateHook(&SendRUpdate);
        f.add({{"RCaption", "✓ ישיבה"}, {"RDetail", "Жж ✓ \U0001F600"}});
        f.open();
        QTest::mouseClick(f.find<QWidget>("OptSend_0"), Qt::LeftButton);
        QTest::keyClick(f.window(), Qt::Key_F9);
        const QList<QByteArray> fields = peer.next().split('\t');
        QCOMPARE(fields.value(4), QByteArray("? \xE9\xF9\xE9\xE1\xE4"));
        QCOMPARE(fields.value(8), QByteArray("?? ? ?"));
        QCOMPARE(f.find<QLabel>("LStatus")->text(),
                 QString(" תזכורת נשמרה ונשלחה ברשת, עם \"?\" במקום: ✓ Ж ж \U0001F600"));
    }
};

QTEST_MAIN(TestLanWindows)
#include "tst_frmlist.moc"
