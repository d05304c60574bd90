// Prints how an author with 500 shared reminders catches up an office of 200 installations
// that announce themselves at once ("IAM" from 127.0.0.2 ... 127.0.0.201, each with a socket of
// its own on the LAN port): the time until every announcement is carried out, the copies
// delivered (target: every one, 100,000), the datagrams sent per announcement (target: 500)
// and what a second round within the minute sends (target: none).
// Run: cmake --build <build> --target run_kv_catchup_bench

#include "common/Log.h"
#include "lan/LanSend.h"
#include "lan/ProcessLANMsg.h"
#include "store/LanSettings.h"
#include "store/ReminderDb.h"
#include "store/ShareDates.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QSet>
#include <QUdpSocket>

#include <sys/socket.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kInstallations = 200;
constexpr int kShared = 500;
constexpr int kFirstId = 1000;

QString addressOf(int installation)
{
    return QStringLiteral("127.0.0.%1").arg(installation + 2);
}

// The author's reminders, shared with everybody and acknowledged by nobody yet.
void shareReminders()
{
    auto db = OpenReminderDb();
    db->exec(QStringLiteral(
                 "INSERT INTO Main_tbl (RCaption, RDetail, RDate, RNext, RActive, BroadcastId, "
                 "IAMAuthor, RAuthor) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                 "FROM n WHERE i < %1) SELECT 'shared ' || i, 'details of the meeting', 50000, "
                 "50000, 1, %2 + i, 1, 'author' FROM n")
                 .arg(kShared - 1)
                 .arg(kFirstId));
    for (int i = 0; i < kShared; ++i)
        NoteShared(*db, kFirstId + i);
}

// Each installation's socket, with room for all it is sent (root may exceed the system's cap).
std::vector<std::unique_ptr<QUdpSocket>> installations(quint16 port)
{
    std::vector<std::unique_ptr<QUdpSocket>> sockets;
    for (int i = 0; i < kInstallations; ++i) {
        auto socket = std::make_unique<QUdpSocket>();
        if (!socket->bind(QHostAddress(addressOf(i)), port))
            return {};
        const int bytes = 16 * 1024 * 1024;
        setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_RCVBUFFORCE, &bytes,
                   sizeof bytes);
        sockets.push_back(std::move(socket));
    }
    return sockets;
}

// Every installation announces itself; gives the milliseconds until all are carried out.
qint64 announceAll()
{
    QElapsedTimer clock;
    clock.start();
    LogFolding folding; // as the drain carries datagrams out
    for (int i = 0; i < kInstallations; ++i)
        ProcessLANMsg(addressOf(i) + QStringLiteral("\tIAM\tn%1\t").arg(i), addressOf(i));
    return clock.elapsed();
}

// The distinct reminders each installation got, summed; all datagrams in *datagrams.
qint64 delivered(std::vector<std::unique_ptr<QUdpSocket>>& sockets, qint64* datagrams)
{
    qint64 copies = 0;
    *datagrams = 0;
    for (auto& socket : sockets) {
        QSet<QByteArray> ids;
        while (socket->hasPendingDatagrams()) {
            const QByteArray data = socket->receiveDatagram().data();
            ++*datagrams;
            if (data.split('\t').value(1) == "UPD")
                ids.insert(data.split('\t').value(3));
        }
        copies += ids.size();
    }
    return copies;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TempProgramDir dir;
    StartLogging(QStringLiteral("Kalvex.log"));
    LANNick = QStringLiteral("author");
    LANOptSend = true;
    LANOptReceive = true;
    LANPort = freeUdpPort();
    auto sockets = installations(LANPort);
    if (sockets.empty()) {
        std::printf("IAM catch-up: cannot bind the installations' sockets on loopback\n");
        return 1;
    }
    shareReminders();
    const qint64 ms = announceAll();
    qint64 datagrams = 0;
    const qint64 copies = delivered(sockets, &datagrams);
    const qint64 againMs = announceAll();
    qint64 again = 0;
    delivered(sockets, &again);
    std::printf("IAM catch-up: %d installations announcing at once against %d shared reminders: "
                "%lld of %d copies delivered, all carried out in %lld ms (%.1f ms an "
                "announcement), %.1f datagrams sent per announcement; a second round within the "
                "minute: %lld datagrams in %lld ms (target: every copy, %d per announcement, "
                "none again)\n",
                kInstallations, kShared, qlonglong(copies), kInstallations * kShared, qlonglong(ms),
                double(ms) / kInstallations, double(datagrams) / kInstallations, qlonglong(again),
                qlonglong(againMs), kShared);
    return copies == kInstallations * kShared ? 0 : 1;
}
