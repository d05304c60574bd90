#include "trust/SignatureField.h"

#include "common/LanText.h"
#include "trust/Sodium.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr char kSignedContentTag[] = "KVSIG1";

void putBigEndian(QByteArray& to, quint64 value)
{
    char bytes[8];
    qToBigEndian(value, bytes);
    to.append(bytes, sizeof(bytes));
}

quint64 bigEndianAt(const QByteArray& from, qsizetype at)
{
    return qFromBigEndian<quint64>(from.constData() + at);
}

template <typename Bytes> void copyAt(const QByteArray& from, qsizetype at, Bytes& to)
{
    std::copy_n(from.constData() + at, to.size(), reinterpret_cast<char*>(to.data()));
}

// The field's data; nothing when the text is not exactly a signature field.
std::optional<SignatureField> parseField(QByteArrayView text)
{
    if (text.size() != kSignatureFieldChars)
        return std::nullopt;
    const std::optional<QByteArray> data = bytesFromPrintable(text.sliced(kSignatureTagLength));
    if (!data || data->size() != kSignatureFieldDataBytes)
        return std::nullopt;
    SignatureField field;
    field.time = qint64(bigEndianAt(*data, 0));
    field.counter = bigEndianAt(*data, 8);
    copyAt(*data, 16, field.key);
    copyAt(*data, 16 + kPublicKeyBytes, field.signature);
    return field;
}

} // namespace

QByteArray signatureFieldText(const SignatureField& field)
{
    QByteArray data;
    data.reserve(kSignatureFieldDataBytes);
    putBigEndian(data, quint64(field.time));
    putBigEndian(data, field.counter);
    data.append(reinterpret_cast<const char*>(field.key.data()), field.key.size());
    data.append(reinterpret_cast<const char*>(field.signature.data()), field.signature.size());
    return kSignatureTag + printableFromBytes(data);
}

QByteArray signedContent(QByteArrayView unsignedBytes, qint64 time, quint64 counter)
{
    QByteArray content;
    content.reserve(sizeof(kSignedContentTag) - 1 + 16 + unsignedBytes.size());
    content.append(kSignedContentTag);
    putBigEndian(content, quint64(time));
    putBigEndian(content, counter);
    content.append(unsignedBytes);
    return content;
}

SplitDatagram splitSignedDatagram(const QByteArray& bytes)
{
    if (bytes.size() > kMaxDatagramBytes)
        return {SplitDatagram::Oversized, {}, {}};
    // The last field: after the TAB before the final TAB (or from the start).
    if (!bytes.endsWith('\t'))
        return {SplitDatagram::Unsigned, bytes, {}};
    const qsizetype start = bytes.lastIndexOf('\t', bytes.size() - 2) + 1;
    const QByteArrayView last = QByteArrayView(bytes).sliced(start, bytes.size() - 1 - start);
    if (!last.startsWith(kSignatureTag))
        return {SplitDatagram::Unsigned, bytes, {}};
    const std::optional<SignatureField> field = parseField(last);
    // A datagram of a signature alone signs nothing.
    if (!field || start == 0)
        return {SplitDatagram::Malformed, bytes.left(start), {}};
    return {SplitDatagram::Signed, bytes.left(start), *field};
}

SplitDatagram splitSignedDatagram(const QString& text)
{
    if (text.size() > kMaxDatagramBytes)
        return {SplitDatagram::Oversized, {}, {}};
    const QByteArray bytes = lanBytesFromText(text);
    SplitDatagram split = splitSignedDatagram(bytes);
    // Windows-1255 has one byte per character: a text that came as a
    // datagram has as many characters as bytes.
    if (split.state == SplitDatagram::Signed && bytes.size() != text.size())
        split.state = SplitDatagram::Malformed;
    return split;
}

QString unsignedText(const QString& text, const SplitDatagram& split)
{
    return split.state == SplitDatagram::Unsigned ? text : text.left(split.unsignedBytes.size());
}
