#include "common/ProfileEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");
constexpr const char* kWindowsHebrew = "windows-1255";

} // namespace

QString decodeProfile(const QByteArray& bytes, ProfileEncoding* found)
{
    *found = ProfileEncoding{};
    const bool mark = bytes.startsWith(kByteOrderMark);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(QByteArrayView(bytes).sliced(mark ? kByteOrderMark.size() : 0));
    if (!utf8.hasError()) {
        found->byteOrderMark = mark;
        return text;
    }
    // Every byte counts here: what looked like a mark is Hebrew text.
    QStringDecoder hebrew(kWindowsHebrew);
    text = hebrew.decode(bytes);
    found->windows1255 = !hebrew.hasError();
    return text;
}

QByteArray encodeProfile(const QString& text, const ProfileEncoding& encoding)
{
    if (encoding.windows1255) {
        QStringEncoder hebrew(kWindowsHebrew);
        const QByteArray bytes = hebrew.encode(text);
        if (!hebrew.hasError())
            return bytes;
    }
    return (encoding.byteOrderMark ? kByteOrderMark : QByteArray()) + text.toUtf8();
}
