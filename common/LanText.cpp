#include "common/LanText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
const char* const kCodePage = "windows-1255";
}

QString lanTextFromBytes(const QByteArray& bytes)
{
    QStringDecoder decoder(kCodePage, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

std::optional<QByteArray> lanBytesFromText(const QString& text)
{
    QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}
