#include "common/LanText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
const char* const kCodePage = "windows-1255";
}

QString lanTextFromBytes(const QByteArray& bytes)
{
    QStringDecoder decoder(kCodePage, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    return text.replace(QChar(u'\0'), QChar(kDamagedCharacter));
}

std::optional<QByteArray> lanBytesFromText(const QString& text)
{
    QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

namespace {

QString excerpt(const QString& head, qsizetype length)
{
    if (length <= kLoggedDatagramChars)
        return head;
    return head.left(kLoggedDatagramChars) + QStringLiteral("… (%1 bytes)").arg(length);
}

} // namespace

QString datagramExcerpt(const QString& text)
{
    return excerpt(text, text.size());
}

QString datagramExcerpt(const QByteArray& bytes)
{
    return excerpt(lanTextFromBytes(bytes.left(kLoggedDatagramChars)), bytes.size());
}
