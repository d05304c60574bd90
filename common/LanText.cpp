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

namespace {

// The bytes of one character (a code point); nothing when the code page lacks it.
std::optional<QByteArray> characterBytes(QStringView character)
{
    QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(character);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

// Calls each with every character (a code point, a surrogate pair whole).
template <typename Each> void forEachCharacter(const QString& text, Each each)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        each(QStringView(text).mid(i, length));
        i += length;
    }
}

} // namespace

QByteArray lanBytesFromText(const QString& text)
{
    QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    bytes.clear();
    forEachCharacter(text, [&](QStringView c) { bytes += characterBytes(c).value_or("?"); });
    return bytes;
}

QStringList unsendableCharacters(const QString& text)
{
    QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
    const QByteArray whole = encoder.encode(text);
    QStringList missing;
    if (encoder.hasError())
        forEachCharacter(text, [&](QStringView c) {
            if (!characterBytes(c) && !missing.contains(c))
                missing << c.toString();
        });
    return missing;
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
