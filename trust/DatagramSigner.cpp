#include "trust/DatagramSigner.h"

#include "common/LanText.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "trust/SignatureField.h"
#include "trust/Sodium.h"

#include <sodium.h>

QByteArray DatagramSigner::sign(const QByteArray& unsignedBytes)
{
    requireSodium();
    if (!unsignedBytes.endsWith('\t'))
        throw Failure(QStringLiteral("הודעה לחתימה חייבת להסתיים בטאב"));
    if (unsignedBytes.size() + kSignatureFieldBytes > kMaxDatagramBytes)
        throw Failure(QStringLiteral("הודעה של %1 בתים ארוכה מדי לחתימה: חתומה היא ארוכה "
                                     "מהודעה אחת ברשת (%2 בתים)")
                          .arg(unsignedBytes.size())
                          .arg(kMaxDatagramBytes));
    SignatureField field;
    field.time = Clock::secondsSinceEpoch();
    field.counter = m_counter.next();
    field.key = m_keys.publicKey();
    const QByteArray content = signedContent(unsignedBytes, field.time, field.counter);
    crypto_sign_detached(field.signature.data(), nullptr, sodiumBytes(content), content.size(),
                         m_keys.secretKey());
    return unsignedBytes + signatureFieldText(field) + '\t';
}
