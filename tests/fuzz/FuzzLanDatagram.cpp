#include "FuzzLanDatagram.h"

#include "Database.h"
#include "LanSettings.h"
#include "LanText.h"
#include "Log.h"
#include "ProcessLANMsg.h"
#include "ProgramDir.h"
#include "Reminder.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

const QByteArray kSender = "127.0.0.2\t";
constexpr qint32 kAuthoredId = 4242;
constexpr int kInputsPerDatabase = 2000; // a fresh table now and then keeps it small

struct Harness
{
    QTemporaryDir dir;
    int inputs = 0;

    Harness()
    {
        ProgramDir::setOverride(dir.path());
        StartLogging(QStringLiteral("Kalvex.log"));
        LANNick = QStringLiteral("beta");
        LANPort = 9; // the discard port of the loopback peer: answers go nowhere
        LANOptReceive = true;
        reset();
    }
    void reset()
    {
        auto db = OpenReminderDb();
        db->exec(QStringLiteral("DELETE FROM Main_tbl"));
        db->execute(QStringLiteral("INSERT INTO Main_tbl (RCaption, RDate, RNext, BroadcastId, "
                                   "IAMAuthor) VALUES ('mine', 46000, 46000, ?, 1)"),
                    {kAuthoredId});
        inputs = 0;
    }
};

Harness& harness()
{
    static Harness h;
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Harness& h = harness();
    if (++h.inputs > kInputsPerDatabase)
        h.reset();
    const QByteArray bytes =
        kSender + QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    ProcessLANMsg(lanTextFromBytes(bytes));
    return 0;
}

namespace FuzzLan {

QList<QByteArray> seeds()
{
    return {
        "UPD\tALL\t123456\t\xF4\xE2\xE9\xF9\xE4\t051220261430\t2\t100\tline 1\r\nline "
        "2\tTrue\t3\t2\t"
        "True\t5\t1\t0\t311220262359\tFalse\t\xE3\xF0\xE4\t",
        "UPD\tbeta\ralpha\r\t-9\tx\t010120270900\t0\t20\t\tTrue\t4\t1\tFalse\t0\t8\t4\t"
        "010120270900\tTrue\t\t",
        "DEL\t123456\t",
        "ACK\t4242\tgamma\t",
        "WHL\t",
        "IAM\tgamma\t",
    };
}

QString brokenInvariant()
{
    auto db = OpenReminderDb();
    if (db->scalar(QStringLiteral("PRAGMA integrity_check")).toString() != QLatin1String("ok"))
        return QStringLiteral("database integrity");
    if (db->scalar(QStringLiteral(
                       "SELECT COUNT(*) FROM Main_tbl WHERE IAMAuthor = 0 AND "
                       "(BroadcastId = 0 OR RNext <> RDate OR length(RCaption) > 50 "
                       "OR RImportance NOT IN (0, 1, 2) OR Adv_WeekDay NOT BETWEEN 0 AND 127)"))
            .toInt() != 0)
        return QStringLiteral("a stored copy that could not have been sent");
    if (db->scalar(QStringLiteral("SELECT COUNT(*) FROM Main_tbl WHERE IAMAuthor = 1 AND "
                                  "RCaption = 'mine' AND BroadcastId = ?"),
                   {kAuthoredId})
            .toInt() != 1)
        return QStringLiteral("the authored reminder changed");
    return QString();
}

int storedCopies()
{
    return OpenReminderDb()
        ->scalar(QStringLiteral("SELECT COUNT(*) FROM Main_tbl WHERE IAMAuthor = 0"))
        .toInt();
}

} // namespace FuzzLan
