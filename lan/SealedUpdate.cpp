#include "lan/SealedUpdate.h"

#include "common/LanText.h"
#include "lan/LanFormat.h"
#include "lan/SenderTrust.h"
#include "platform/Failure.h"
#include "store/NameList.h"
#include "trust/InstallationSigner.h"
#include "trust/SealedShare.h"

namespace {

const QString kSealTag = QStringLiteral("KVSEAL1:");

// The pinned keys of the named recipients, in their order; none unless all are pinned.
QList<PublicKey> recipientKeys(const QString& recipients)
{
    if (recipients == kAllRecipients)
        return {};
    QStringList names;
    StrTok(recipients, names, kNameEnd);
    QList<PublicKey> keys;
    for (const QString& name : names) {
        const std::optional<PublicKey> key = KnownColleagues().keyOf(name);
        if (!key)
            return {};
        keys << *key;
    }
    return names.size() <= kMaxShareRecipients ? keys : QList<PublicKey>{};
}

} // namespace

QString SharedUpdateText(const RUpdateRec& rec)
{
    const QList<PublicKey> keys = recipientKeys(rec.Recipients);
    if (keys.isEmpty())
        return BuildRUpdate(rec);
    const SealedShare share = sealForMany(lanBytesFromText(BuildRUpdate(rec)), keys);
    RUpdateRec sealed;
    sealed.Recipients = rec.Recipients;
    sealed.BroadcastId = rec.BroadcastId;
    sealed.RAuthor = rec.RAuthor;
    sealed.RActive = true;
    sealed.RCaption = kSealTag + QString::fromLatin1(share.content);
    for (const QByteArray& key : share.keys)
        sealed.RDetail += QString::fromLatin1(key) + kNameEnd;
    sealed.RDate = sealed.RNext = Date::fromParts(2000, 1, 1);
    sealed.Adv_DateEnd = sealed.RDate;
    return BuildRUpdate(sealed);
}

bool isSealedUpdate(const RUpdateRec& rec)
{
    return rec.RCaption.startsWith(kSealTag);
}

RUpdateRec openSealedUpdate(const RUpdateRec& sealed)
{
    SealedShare share;
    share.content = sealed.RCaption.mid(kSealTag.size()).toLatin1();
    QStringList keys;
    StrTok(sealed.RDetail, keys, kNameEnd);
    for (const QString& key : keys)
        share.keys << key.toLatin1();
    const std::optional<QByteArray> text = openShare(share, installationKeyPair());
    if (!text)
        throw Failure(QStringLiteral("עדכון מוצפן שלא ניתן לפתוח"));
    QStringList tokens;
    StrTok(kFieldEnd + lanTextFromBytes(*text), tokens, kFieldEnd);
    const RUpdateRec rec = ParseRUpdate(tokens);
    if (rec.Recipients != sealed.Recipients || rec.BroadcastId != sealed.BroadcastId ||
        rec.RAuthor != sealed.RAuthor || isSealedUpdate(rec))
        throw Failure(QStringLiteral("עדכון מוצפן שתוכנו אינו תואם את מעטפתו"));
    return rec;
}
