#include "lan/ProcessLANMsg.h"

#include "broker/BrokerTopics.h"
#include "common/LanText.h"
#include "common/Log.h"
#include "common/OwnAddresses.h"
#include "common/Trapped.h"
#include "lan/ColleaguesSeen.h"
#include "lan/LanFormat.h"
#include "lan/LanLimits.h"
#include "lan/LanSend.h"
#include "lan/RUpdateRec.h"
#include "lan/SealedUpdate.h"
#include "lan/SendMissedCopies.h"
#include "lan/SenderTrust.h"
#include "lan/SharedArrivals.h"
#include "platform/Failure.h"
#include "scheduling/ReminderWrites.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "store/Schema.h"
#include "store/WriteBatch.h"
#include "trust/InstallationSigner.h"

#include <QHostAddress>

#include <optional>
#include <utility>

namespace {

constexpr int kMaxLoggedSender = 40;

// The datagram being carried out: where it came from, as far as known.
struct Origin
{
    QString source;       // the address it came from; empty when not known (MsgProcess)
    CheckedSender signer; // who signed it, if anyone

    // The address it came from, else its field 0.
    const QString& replyAddress(const QStringList& tokens) const
    {
        return source.isEmpty() ? tokenAt(tokens, 0) : source;
    }
    // Where answers go: replyAddress, when an answer may go there.
    QString answerAddress(const QStringList& tokens) const
    {
        const QString& address = replyAddress(tokens);
        if (!isAnswerableAddress(address))
            throw Failure(QStringLiteral("No answer to ") + address);
        return address;
    }
    // Who sent it, for the log: the address it came from, else its field 0.
    QString sender(const QStringList& tokens) const
    {
        return source.isEmpty() ? tokens.value(0).left(kMaxLoggedSender) : source;
    }
    // Whether the datagram may act for the nickname (SenderTrust.h).
    bool speaksFor(const QStringList& tokens, const QString& nickname, bool pinNew = true) const
    {
        return mayActFor(signer, nickname, pinNew, sender(tokens));
    }
};

Origin g_origin;

// Once, and logged with where it came from and no more than its beginning.
void logMalformed(const QString& text)
{
    const QString sender = g_origin.sender({text.section(kFieldEnd, 0, 0)});
    WriteLog(QStringLiteral("הודעה פגומה: %1: %2").arg(sender, datagramExcerpt(text)), LogError);
}

// Damaged bytes or a NUL cannot come from a peer that follows the format.
bool isDamaged(const QString& text)
{
    return text.contains(kDamagedCharacter);
}

const QStringList kKinds = {QStringLiteral("UPD"), QStringLiteral("DEL"), QStringLiteral("ACK"),
                            QStringLiteral("WHL"), QStringLiteral("IAM")};

// A kind field that is there and names no kind: the datagram is logged once,
// as malformed, before anything else could log it again.
bool hasUnknownKind(const QString& text)
{
    const qsizetype start = text.indexOf(kFieldEnd) + 1;
    if (start == 0 || start == text.size())
        return false;
    const qsizetype end = text.indexOf(kFieldEnd, start);
    return !kKinds.contains(text.mid(start, end < 0 ? -1 : end - start));
}

void dispatch(const QStringList& tokens)
{
    const QString& kind = tokenAt(tokens, 1);
    if (kind == QLatin1String("UPD")) {
        if (LANOptReceive)
            ReceiveRUpdate(tokens);
    } else if (kind == QLatin1String("DEL")) {
        if (LANOptReceive)
            ReceiveDELMsg(tokens);
    } else if (kind == QLatin1String("ACK")) {
        ReceiveACK(tokens);
    } else if (kind == QLatin1String("WHL")) {
        if (LANOptReceive)
            AnswerWHL(tokens);
    } else if (kind == QLatin1String("IAM")) {
        ReceiveIAM(tokens);
    }
}

// The received copy with this identity as stored now; nothing when none.
std::optional<ReminderRecord> receivedCopy(qint32 broadcastId)
{
    auto db = OpenReminderDb();
    const Snapshot rs(*db, Queries::copyByBroadcastId(broadcastId));
    if (!rs.hasCurrent())
        return std::nullopt;
    return ReminderRecord::read(rs);
}

// Tells of a copy stored, new or changed in what the notice shows, once committed.
void noteStored(const std::optional<ReminderRecord>& before, qint32 broadcastId)
{
    using F = ReminderField;
    const std::optional<ReminderRecord> after = receivedCopy(broadcastId);
    if (!after || (before && sameIn(*before, *after,
                                    {F::RCaption, F::RDate, F::RDetail, F::RImportance,
                                     F::REventType, F::RActive, F::RAuthor})))
        return;
    const SharedArrival arrival{before ? SharedArrival::Changed : SharedArrival::New,
                                after->RMain_Id, after->RAuthor, after->RCaption, after->RDate};
    afterCommit([arrival] { NoteSharedArrival(arrival); });
}

bool isOwnSignature(const CheckedSender& sender)
{
    return sender.isSigned && sender.key == installationKeyPair().publicKey();
}

// The lookups by network identity need their index, which a file of an
// earlier build may lack.
void ensureIndexesOnce()
{
    static bool ensured = false;
    if (!ensured)
        ensured =
            trapped(QStringLiteral("EnsureIndexes"), [] { EnsureIndexes(*OpenReminderDb()); });
}

} // namespace

void ProcessLANMsg(const QString& received, const QString& source)
{
    // A datagram carried out in a nested drain leaves the outer one its origin.
    const Origin outer = std::exchange(g_origin, Origin{source, {}});
    trapped(QString(), [&] {
        const std::optional<CheckedDatagram> checked =
            checkSender(received, g_origin.sender({received.section(kFieldEnd, 0, 0)}));
        if (!checked)
            return;
        g_origin.signer = checked->sender;
        const QString& text = checked->text;
        if (isDamaged(text) || hasUnknownKind(text)) {
            if (!IsOwnMsg({text.section(kFieldEnd, 0, 0)}))
                logMalformed(text);
            return;
        }
        QStringList tokens;
        StrTok(text, tokens, kFieldEnd);
        // Its own come back: from the LAN, field 0 is this machine's address;
        // by the broker, where field 0 may be another site's address that
        // happens to be ours, the signature tells (a relay of this segment
        // carries this machine's broadcasts).
        if (BrokerTopics::isBrokerSource(source) ? isOwnSignature(checked->sender)
                                                 : IsOwnMsg(tokens))
            return;
        ensureIndexesOnce();
        dispatch(tokens);
    });
    g_origin = outer;
}

bool IsOwnMsg(const QStringList& tokens)
{
    const QString& sender = tokenAt(tokens, 0);
    if (LocalIP.isEmpty())
        SetLocalIP();
    if (sender == LocalIP)
        return true;
    return isOwnAddress(QHostAddress(sender));
}

void ReceiveRUpdate(const QStringList& tokens)
{
    static const QString refused =
        QStringLiteral("LAN: dropped %1 updates from %2: their author would hold more than ") +
        QString::number(kMaxCopiesPerAuthor) + QStringLiteral(" copies or ") +
        QString::number(kMaxCharsPerAuthor) + QStringLiteral(" characters");
    trapped(QStringLiteral("שגיאה בנסיון עדכון תזכורת ברשת"), [&] {
        RUpdateRec rec = ParseRUpdate(tokens);
        if (NotForMe(rec))
            return;
        if (isSealedUpdate(rec)) {
            if (!g_origin.signer.isSigned)
                throw Failure(QStringLiteral("עדכון מוצפן שלא נחתם"));
            rec = openSealedUpdate(rec);
        }
        DropControlCharacters(rec);
        requireStorable(rec);
        const std::optional<ReminderRecord> before = receivedCopy(rec.BroadcastId);
        // Nobody overwrites a copy of another author's reminder.
        if ((before && before->RAuthor != rec.RAuthor &&
             !g_origin.speaksFor(tokens, before->RAuthor, false)) ||
            !g_origin.speaksFor(tokens, rec.RAuthor))
            return;
        if (!AdmitCopy(rec, before)) {
            CountForLog(refused, g_origin.sender(tokens) + QStringLiteral(" (author \"") +
                                     rec.RAuthor + QLatin1Char('"') + QLatin1Char(')'));
            return;
        }
        try {
            StoreReceivedCopy(rec,
                              g_origin.signer.isSigned ? CopyOrigin::Signed : CopyOrigin::Unsigned);
        } catch (...) {
            ForgetAuthor(rec.RAuthor);
            throw;
        }
        noteStored(before, rec.BroadcastId);
        // The answer promises a stored copy: never before it is committed.
        afterCommit(
            [to = g_origin.answerAddress(tokens), id = rec.BroadcastId] { SendACK(to, id); });
    });
}

void ReceiveDELMsg(const QStringList& tokens)
{
    try {
        const qint32 id = lanToLong(tokenAt(tokens, 2));
        const std::optional<ReminderRecord> copy = receivedCopy(id);
        if (copy && !g_origin.speaksFor(tokens, copy->RAuthor, false))
            return;
        if (DeleteReceivedCopy(id) && copy)
            afterCommit([arrival = SharedArrival{SharedArrival::Deleted, copy->RMain_Id,
                                                 copy->RAuthor, copy->RCaption, copy->RDate}] {
                NoteSharedArrival(arrival);
            });
    } catch (const std::exception&) {
        throw Failure(QStringLiteral("שגיאה בנסיון מחיקת תזכורת ברשת"));
    }
}

void ReceiveACK(const QStringList& tokens)
{
    trapped(QStringLiteral("שגיאה בנסיון קליטת אישור"), [&] {
        const qint32 id = lanToLong(tokenAt(tokens, 2));
        const QString& name = tokenAt(tokens, 3);
        requireNickname(name);
        if (!g_origin.speaksFor(tokens, name))
            return;
        if (NoteReceipt(id, name) == Receipt::NotStored) {
            // A relay carries every answer sent to it, whichever installation it is for.
            if (BrokerTopics::lanAddressOfSource(g_origin.source).isEmpty())
                WriteLog(QStringLiteral("תזכורת לאישור לא קיימת"), LogError);
            return;
        }
        // He is seen: what else he has not acknowledged goes again, once his pause is over.
        if (const QString& from = g_origin.replyAddress(tokens);
            isAnswerableAddress(from) && NoteSeen(name, from))
            SendMissedCopies(name, from);
    });
}

void AnswerWHL(const QStringList& tokens)
{
    const QString to = g_origin.answerAddress(tokens);
    if (MayAnswerWhl(to))
        SendIAM(to);
}

void ReceiveIAM(const QStringList& tokens)
{
    const QString& name = tokenAt(tokens, 2);
    requireNickname(name);
    if (!g_origin.speaksFor(tokens, name))
        return;
    if (!Listeners.contains(name) && Listeners.size() < kMaxListeners)
        Listeners.append(name);
    // Asked or not: a colleague who was away may miss what was shared meanwhile.
    if (const QString& from = g_origin.replyAddress(tokens); isAnswerableAddress(from)) {
        NoteSeen(name, from);
        SendMissedCopies(name, from);
    }
}
