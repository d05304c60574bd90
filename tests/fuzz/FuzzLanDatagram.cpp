#include "FuzzLanDatagram.h"

#include "Database.h"
#include "LanSettings.h"
#include "LanText.h"
#include "Log.h"
#include "ProcessLANMsg.h"
#include "ProgramDir.h"

#include <QTemporaryDir>

// A fresh table now and then keeps it small; 4242 is this installation's own reminder.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    static int inputs = 0;
    if (inputs == 0) {
        ProgramDir::setOverride(dir.path());
        StartLogging(QStringLiteral("Kalvex.log"));
        LANNick = QStringLiteral("beta");
        LANPort = 9; // the discard port of the loopback peer: answers go nowhere
        LANOptReceive = true;
    }
    if (inputs++ % 2000 == 0)
        OpenReminderDb()->exec(
            "DELETE FROM Main_tbl; INSERT INTO Main_tbl (RCaption, RDate, RNext, "
            "BroadcastId, IAMAuthor) VALUES ('mine', 46000, 46000, 4242, 1)");
    ProcessLANMsg(lanTextFromBytes(
        "127.0.0.2\t" + QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
    return 0;
}

QList<QByteArray> FuzzLan::seeds()
{
    return {"UPD\tALL\t123456\t\xF4\xE2\xE9\xF9\xE4\t051220261430\t2\t100\tline 1\r\nline 2\tTrue\t"
            "3\t2\tTrue\t5\t1\t0\t311220262359\tFalse\t\xE3\xF0\xE4\t",
            "UPD\tbeta\ralpha\r\t-9\tx\t010120270900\t0\t20\t\tTrue\t4\t1\tFalse\t0\t8\t4\t"
            "010120270900\tTrue\t\t",
            "DEL\t123456\t",
            "ACK\t4242\tgamma\t",
            "WHL\t",
            "IAM\tgamma\t"};
}

QString FuzzLan::brokenInvariant()
{
    auto db = OpenReminderDb();
    if (db->scalar("PRAGMA integrity_check").toString() != QLatin1String("ok"))
        return QStringLiteral("database integrity");
    if (db->scalar("SELECT COUNT(*) FROM Main_tbl WHERE IAMAuthor = 0 AND (BroadcastId = 0 OR "
                   "RNext <> RDate OR length(RCaption) > 50 OR RImportance NOT IN (0, 1, 2) OR "
                   "Adv_WeekDay NOT BETWEEN 0 AND 127)")
            .toInt() != 0)
        return QStringLiteral("a stored copy that could not have been sent");
    if (db->scalar("SELECT COUNT(*) FROM Main_tbl WHERE IAMAuthor = 1 AND RCaption = 'mine' AND "
                   "BroadcastId = 4242")
            .toInt() != 1)
        return QStringLiteral("the authored reminder changed");
    return QString();
}
