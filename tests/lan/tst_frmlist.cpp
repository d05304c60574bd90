// The recipient list window. Discovery runs on a LAN of its own (network
// namespaces, root only): this test is host 0, and every other host is a
// thread in its own namespace that plays another installation.
#include "ManagerFixture.h"

#include "LanNetwork.h"
#include "LanSend.h"
#include "LanSettings.h"
#include "LanText.h"
#include "ManagerState.h"
#include "ProcessLANMsg.h"
#include "frmList.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <poll.h>

#include <atomic>
#include <thread>

namespace {

// Counts the "WHL"s it hears and answers the last one with "IAM" when it
// is question number answerFrom or a later one.
class Responder
{
public:
    Responder(const LanNetwork& net, int host, const QString& nick)
        : m_thread([this, &net, host, nick, port = htons(LANPort)] {
              if (!net.enter(host))
                  return;
              const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
              sockaddr_in peer{AF_INET, port, {INADDR_ANY}, {}};
              ::bind(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
              const QByteArray answer = (net.address(host) + "\tIAM\t" + nick + "\t").toUtf8();
              int pending = 0;
              for (pollfd ready{fd, POLLIN, 0}; !m_stop; ready.revents = 0) {
                  socklen_t size = sizeof peer;
                  char bytes[512] = {};
                  if (::poll(&ready, 1, 20) == 1 &&
                      ::recvfrom(fd, bytes, sizeof bytes - 1, 0, reinterpret_cast<sockaddr*>(&peer),
                                 &size) > 0 &&
                      strstr(bytes, "\tWHL\t"))
                      pending = ++questions;
                  peer.sin_port = port; // answers go to the asker's LAN port
                  if (pending && pending >= answerFrom &&
                      ::sendto(fd, answer.data(), answer.size(), 0,
                               reinterpret_cast<sockaddr*>(&peer), size) > 0)
                      pending = 0;
              }
              ::close(fd);
          })
    {}
    ~Responder()
    {
        m_stop = true;
        m_thread.join();
    }
    std::atomic<int> questions{0};
    std::atomic<int> answerFrom{INT_MAX};

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

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

} // namespace

class TestFrmList : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    std::vector<std::unique_ptr<Responder>> m_hosts;
    std::unique_ptr<QUdpSocket> m_receiver; // hands datagrams on, as Tolvane does

    // A window that has had its wait for answers.
    static QStringList available()
    {
        frmList window(QString(), 0);
        window.show();
        const QTimer* wait = window.findChild<QTimer*>("Timer1");
        QTest::qWaitFor([wait] { return !wait->isActive(); });
        return items(&window, "List1");
    }
    QList<int> questions() const
    {
        QList<int> counts;
        for (const auto& host : m_hosts)
            counts << host->questions;
        return counts;
    }

private slots:
    void initTestCase()
    {
        LANPort = 50217;
        if (!LanNetwork::unavailableReason().isEmpty())
            return;
        m_net = std::make_unique<LanNetwork>(6);
        QVERIFY2(m_net->isReady(), qPrintable(m_net->error()));
        QVERIFY(m_net->enter(0));
        // Never a broadcast from the machine's own network.
        QVERIFY(QNetworkInterface::allAddresses().contains(QHostAddress(m_net->address(0))));
        m_receiver = std::make_unique<QUdpSocket>();
        QVERIFY(m_receiver->bind(QHostAddress::AnyIPv4, LANPort));
        connect(m_receiver.get(), &QUdpSocket::readyRead, this, [this] {
            while (m_receiver->hasPendingDatagrams())
                ProcessLANMsg(lanTextFromBytes(m_receiver->receiveDatagram().data()));
        });
        int host = 1;
        for (const char* nick : {"beta", "alpha", "beta", "Zed", "late"})
            m_hosts.push_back(std::make_unique<Responder>(*m_net, host++, nick));
    }
    void cleanupTestCase()
    {
        m_hosts.clear();
        m_receiver.reset();
        if (m_net)
            m_net->leave();
    }

    // Every opening asks until somebody answers; the answers of the wait
    // show sorted ordinally with duplicates, a later one at the next opening,
    // which asks no more.
    void discovery()
    {
        if (!m_net)
            QSKIP(qPrintable(LanNetwork::unavailableReason()));
        ManagerFixture f;
        QVERIFY(available().isEmpty() && available().isEmpty());
        QCOMPARE(questions(), QList<int>(5, 2));
        for (int h = 0; h < 4; ++h)
            m_hosts[h]->answerFrom = 3;
        QCOMPARE(available(), (QStringList{"Zed", "alpha", "beta", "beta"}));
        m_hosts[4]->answerFrom = 3;
        QTRY_COMPARE(Listeners.size(), 5);
        QCOMPARE(available(), (QStringList{"Zed", "alpha", "beta", "beta", "late"}));
        QCOMPARE(questions(), QList<int>(5, 3));
    }

    // From the manager window: the recipients and the acknowledgements of
    // the loaded reminder, sorted; "<" adds a name once, "<<" all of them.
    // F12 changes nothing; confirming hands back the sorted list and arms
    // the send to it, and an empty list leaves the send options alone.
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
            w->findChild<QListWidget*>("List1")->setCurrentRow(1);
            click(w, "cmdLeft");
            QCOMPARE(items(w, "List2"), QStringList{"beta"});
            QTest::keyClick(w, Qt::Key_F12);
        });
        QCOMPARE(CurrentSentTo, QString("beta\r"));
        inWindow([](frmList* w) {
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
};

QTEST_MAIN(TestFrmList)
#include "tst_frmlist.moc"
