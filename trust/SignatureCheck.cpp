#include "trust/SignatureCheck.h"

#include "common/LanText.h"
#include "platform/Clock.h"
#include "trust/Sodium.h"

#include <sodium.h>

namespace {

bool signatureMatches(const SplitDatagram& split)
{
    requireSodium();
    const SignatureField& field = split.field;
    const QByteArray content = signedContent(split.unsignedBytes, field.time, field.counter);
    return crypto_sign_verify_detached(field.signature.data(), sodiumBytes(content), content.size(),
                                       field.key.data()) == 0;
}

SignatureVerdict verdictOf(ReplayGuard::Result result)
{
    switch (result) {
    case ReplayGuard::Stale:
        return SignatureVerdict::Stale;
    case ReplayGuard::Replayed:
        return SignatureVerdict::Replayed;
    case ReplayGuard::Fresh:
        break;
    }
    return SignatureVerdict::Valid;
}

} // namespace

SignatureCheck checkSignature(const SplitDatagram& split, ReplayGuard& guard)
{
    SignatureCheck check{SignatureVerdict::Unsigned, split.unsignedBytes, split.field.key,
                         split.field.time, split.field.counter};
    switch (split.state) {
    case SplitDatagram::Unsigned:
        return check;
    case SplitDatagram::Malformed:
        check.verdict = SignatureVerdict::Malformed;
        return check;
    case SplitDatagram::Oversized:
        check.verdict = SignatureVerdict::Oversized;
        return check;
    case SplitDatagram::Signed:
        break;
    }
    const qint64 now = Clock::secondsSinceEpoch();
    check.verdict = verdictOf(guard.check(check.key, check.time, check.counter, now));
    // A key taken before was checked then: the point check costs about
    // what the signature's does.
    if (check.verdict == SignatureVerdict::Valid && !guard.knows(check.key) &&
        !isUsableKey(check.key))
        check.verdict = SignatureVerdict::BadKey;
    if (check.verdict == SignatureVerdict::Valid && !signatureMatches(split))
        check.verdict = SignatureVerdict::BadSignature;
    if (check.verdict != SignatureVerdict::Valid)
        return check;
    guard.remember(check.key, check.time, check.counter, now);
    return check;
}

SignatureCheck checkDatagram(const QByteArray& bytes, ReplayGuard& guard)
{
    return checkSignature(splitSignedDatagram(bytes), guard);
}

SignatureCheck checkDatagram(const QString& text, ReplayGuard& guard)
{
    return checkSignature(splitSignedDatagram(text), guard);
}

QString verdictReason(SignatureVerdict verdict)
{
    switch (verdict) {
    case SignatureVerdict::Unsigned:
        return QStringLiteral("unsigned");
    case SignatureVerdict::Valid:
        return QStringLiteral("validly signed");
    case SignatureVerdict::Malformed:
        return QStringLiteral("a malformed signature field");
    case SignatureVerdict::Oversized:
        return QStringLiteral("longer than %1 bytes").arg(kMaxDatagramBytes);
    case SignatureVerdict::BadSignature:
        return QStringLiteral("a signature that does not match");
    case SignatureVerdict::BadKey:
        return QStringLiteral("a signing key that does not parse");
    case SignatureVerdict::Stale:
        return QStringLiteral("a signature time more than %1 seconds from now")
            .arg(ReplayGuard::Limits{}.windowSeconds);
    case SignatureVerdict::Replayed:
        return QStringLiteral("a signature counter seen before (replayed)");
    }
    return {};
}
