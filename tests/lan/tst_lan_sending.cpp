// Sharing from the manager window: the editor's sending controls, the save's
// hand-off to SendRUpdate and what goes out, to a peer on loopback.
#include "LanPeer.h"
#include "ManagerFixture.h"

#include "LanSend.h"
#include "LanText.h"
#include "ManagerState.h"
#include "Prompt.h"
#include "SendRUpdate.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

class TestLanSending : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;
    std::unique_ptr<LanPeer> peer;

    void click(const char* name) { QTest::mouseClick(f->find<QWidget>(name), Qt::LeftButton); }
    void save() { QTest::keyClick(f->window(), Qt::Key_F9); }
    QString status() { return f->find<QLabel>("LStatus")->text(); }
    // The fields of the next "UPD" after the sender's address and the kind.
    QStringList nextUpdate()
    {
        const QStringList fields = lanTextFromBytes(peer->next()).split('\t');
        return fields.value(1) == "UPD" ? fields.mid(2) : QStringList{fields.join('|')};
    }
    qint32 broadcastId(qint32 id) { return f->row(id).value("BroadcastId").toInt(); }

private slots:
    void init()
    {
        f = std::make_unique<ManagerFixture>();
        peer = std::make_unique<LanPeer>();
        setBroadcastTarget(LanPeer::kAddress);
        RMain::setSendRUpdateHook(&SendRUpdate);
        Prompt::clearHistory();
    }
    void cleanup()
    {
        f.reset();
        peer.reset();
        setBroadcastTarget(QString());
        RMain::setSendRUpdateHook(nullptr);
    }

    // The first send gives the identity, later ones keep it; the row records
    // the audience and forgets who acknowledged.
    void sharingToAllThenToAList()
    {
        const qint32 id = f->add({{"RActive", 0}, {"RDetail", QVariant()}, {"ReceivedBy", "x\r"}});
        f->open();
        click("LANSend");
        QVERIFY(f->window()->inEdit());
        save();
        const QStringList first = nextUpdate();
        const qint32 identity = broadcastId(id);
        QVERIFY(identity != 0);
        QCOMPARE(first.mid(0, 2), (QStringList{"ALL", QString::number(identity)}));
        QCOMPARE(first.value(6) + "|" + first.value(7), QString("|True")); // no detail, active
        QCOMPARE(f->row(id).value("SentTo").toString() + f->row(id).value("ReceivedBy").toString(),
                 QString());
        QCOMPARE(status(), QString(" תזכורת נשמרה"));

        CurrentSentTo = QStringLiteral("alpha\rbeta\r");
        click("OptSend_1");
        QVERIFY(f->window()->inEdit());
        save();
        QCOMPARE(nextUpdate().mid(0, 2), (QStringList{"alpha\rbeta\r", QString::number(identity)}));
        QCOMPARE(broadcastId(id), identity);
        QCOMPARE(f->row(id).value("SentTo").toString(), QString("alpha\rbeta\r"));
    }

    // Each is saved and not sent; the row keeps its network fields.
    void whatIsNotSent_data()
    {
        QTest::addColumn<QVariantMap>("fields");
        QTest::addColumn<bool>("toList");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("told"); // the message box, or the log entry
        QTest::newRow("a received copy")
            << QVariantMap{{"IAMAuthor", 0}, {"BroadcastId", 9}} << false << QString()
            << "לא ניתן לשלוח עדכון לתזכורת שלא את/אתה המחבר שלה";
        QTest::newRow("an empty list")
            << QVariantMap{} << true << QString() << "רשימת הנמענים ריקה";
        QTest::newRow("too long for a datagram")
            << QVariantMap{} << false << QString(kMaxDatagramBytes, 'd')
            << "WS_LAN_Send: Message of";
    }
    void whatIsNotSent()
    {
        QFETCH(QVariantMap, fields);
        QFETCH(bool, toList);
        QFETCH(QString, detail);
        QFETCH(QString, told);
        const qint32 id = f->add(fields);
        f->open();
        CurrentSentTo.clear();
        click(toList ? "OptSend_1" : "OptSend_0");
        if (!detail.isEmpty())
            f->find<QPlainTextEdit>("CDetail")->setPlainText(detail);
        if (told.startsWith("WS_LAN_Send"))
            QVERIFY(f->logLines().isEmpty());
        else
            Prompt::setNextAnswer(Prompt::Answer::Ok);
        save();
        QVERIFY(peer->silent());
        QCOMPARE(f->row(id).value("BroadcastId").toInt(), fields.value("BroadcastId").toInt());
        QCOMPARE(status(), QString(" תזכורת נשמרה אך לא נשלחה ברשת"));
        const QString shown =
            Prompt::history().isEmpty() ? f->logLines().value(0) : Prompt::history().last().text;
        QVERIFY2(shown.contains(told), qPrintable(shown));
    }
};

QTEST_MAIN(TestLanSending)
#include "tst_lan_sending.moc"
