// A received datagram's whole path from its bytes (Windows-1255 decoding, ProcessLANMsg) on a
// real database in a temporary program directory, sent by a loopback peer.
#include "common/LanText.h"
#include "common/Log.h"
#include "lan/ProcessLANMsg.h"
#include "platform/ProgramDir.h"
#include "store/LanSettings.h"
#include "store/ReminderDb.h"

#include <QTemporaryDir>

#include <cstdint>

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
