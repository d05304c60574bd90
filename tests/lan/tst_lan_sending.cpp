// Sharing from the manager window: what the save does not send, to a peer on
// loopback. What it sends is shown end to end, on a LAN of three hosts.
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
        QTest::keyClick(f->window(), Qt::Key_F9);
        QVERIFY(peer->silent());
        QCOMPARE(f->row(id).value("BroadcastId").toInt(), fields.value("BroadcastId").toInt());
        QCOMPARE(f->find<QLabel>("LStatus")->text(), QString(" תזכורת נשמרה אך לא נשלחה ברשת"));
        const QString shown =
            Prompt::history().isEmpty() ? f->logLines().value(0) : Prompt::history().last().text;
        QVERIFY2(shown.contains(told), qPrintable(shown));
    }
};

QTEST_MAIN(TestLanSending)
#include "tst_lan_sending.moc"
