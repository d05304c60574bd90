#include "common/ExtraAddresses.h"

#include "common/Ini.h"
#include "common/Log.h"
#include "common/SettingsKeys.h"

#include <QRegularExpression>
#include <QSet>

namespace ExtraAddresses {

namespace {

// An entry inside a Hebrew sentence, kept left to right.
QString quoted(const QString& entry)
{
    return QStringLiteral("\"") + QChar(0x2066) + entry + QChar(0x2069) + QStringLiteral("\"");
}

// Why an IPv4 address cannot be sent to; empty when it can.
QString unusable(quint32 address, const QString& entry)
{
    const quint32 first = address >> 24;
    if (first == 0)
        return QStringLiteral("%1: כתובת 0.0.0.0 אינה של מחשב או של רשת").arg(quoted(entry));
    if (first == 127)
        return QStringLiteral("%1: כתובת של המחשב הזה עצמו (loopback)").arg(quoted(entry));
    if (first >= 224)
        return QStringLiteral("%1: כתובת multicast או שמורה, לא של מחשב או של רשת")
            .arg(quoted(entry));
    return QString();
}

QString malformed(const QString& entry)
{
    return QStringLiteral("%1 אינה שם מחשב, כתובת IPv4 או רשת בצורה 10.0.2.0/24")
        .arg(quoted(entry));
}

// An address, or a subnet with its prefix length.
QString parseNumeric(const QString& entry, Entry* parsed)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})(?:/(\\d{1,2}))?$"));
    const QRegularExpressionMatch match = form.match(entry);
    if (!match.hasMatch())
        return malformed(entry);
    quint32 address = 0;
    for (int i = 1; i <= 4; ++i) {
        const uint octet = match.captured(i).toUInt();
        if (octet > 255)
            return malformed(entry);
        address = (address << 8) | octet;
    }
    const bool subnet = match.hasCaptured(5);
    const int prefix = subnet ? match.captured(5).toInt() : 32;
    if (prefix < 8 || prefix > 32)
        return QStringLiteral("%1: אורך הקידומת של רשת הוא בין 8 ל-32").arg(quoted(entry));
    if (const QString why = unusable(address, entry); !why.isEmpty())
        return why;
    const quint32 hostBits = prefix == 32 ? 0 : 0xffffffffu >> prefix;
    parsed->destination = QHostAddress(address | hostBits);
    parsed->text =
        QHostAddress(address).toString() + (subnet ? QStringLiteral("/%1").arg(prefix) : QString());
    return QString();
}

// A host name as DNS allows one: labels of letters, digits and inner hyphens.
QString parseName(const QString& entry, Entry* parsed)
{
    static const QRegularExpression label(QStringLiteral("^[a-z0-9]([a-z0-9-]{0,61}[a-z0-9])?$"));
    QString name = entry.toLower();
    if (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    if (name.isEmpty() || name.size() > kMaxNameChars)
        return malformed(entry);
    for (const QString& part : name.split(QLatin1Char('.')))
        if (!label.match(part).hasMatch())
            return malformed(entry);
    if (name == QLatin1String("localhost") || name.endsWith(QLatin1String(".localhost")))
        return QStringLiteral("%1: כתובת של המחשב הזה עצמו (loopback)").arg(quoted(entry));
    parsed->text = parsed->hostName = name;
    return QString();
}

QString parseEntry(const QString& entry, Entry* parsed)
{
    static const QRegularExpression numeric(QStringLiteral("^[0-9./]+$"));
    return numeric.match(entry).hasMatch() ? parseNumeric(entry, parsed) : parseName(entry, parsed);
}

} // namespace

Parsed parse(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    Parsed result;
    if (text.size() > kMaxTextChars) {
        result.refusal = QStringLiteral("הרשימה ארוכה מדי");
        return result;
    }
    const QStringList typed = text.split(separators, Qt::SkipEmptyParts);
    QHash<QString, QString> seen; // where each entry goes, and the entry that goes there
    for (const QString& entry : typed) {
        if (result.entries.size() == kMaxEntries) {
            if (result.refusal.isEmpty())
                result.refusal = QStringLiteral("עד %1 כתובות נוספות").arg(kMaxEntries);
            break;
        }
        Entry parsed;
        QString why = parseEntry(entry, &parsed);
        const QString target =
            parsed.hostName.isEmpty() ? parsed.destination.toString() : parsed.hostName;
        if (why.isEmpty() && seen.contains(target))
            why = seen[target] == parsed.text
                      ? QStringLiteral("%1 מופיעה פעמיים").arg(quoted(entry))
                      : QStringLiteral("%1 נשלחת לאותה כתובת כמו %2")
                            .arg(quoted(entry), quoted(seen[target]));
        if (!why.isEmpty()) {
            if (result.refusal.isEmpty())
                result.refusal = why;
            continue;
        }
        seen.insert(target, parsed.text);
        result.entries << parsed;
    }
    return result;
}

QString joined(const QList<Entry>& entries)
{
    QStringList texts;
    for (const Entry& entry : entries)
        texts << entry.text;
    return texts.join(QLatin1Char(','));
}

QString storedText()
{
    return ReadIniLong(SettingsKeys::lanSection, SettingsKeys::extraAddresses, QString(),
                       kMaxTextChars + 1);
}

QList<Entry> stored()
{
    static QSet<QString> told;
    const QString text = storedText();
    const Parsed parsed = parse(text);
    if (!parsed.refusal.isEmpty() && !told.contains(text) && told.size() < kMaxEntries) {
        told.insert(text);
        WriteLog(QStringLiteral("ExtraAddresses: ") + parsed.refusal, LogError);
    }
    return parsed.entries;
}

bool store(const QList<Entry>& entries)
{
    return WriteIni(SettingsKeys::lanSection, SettingsKeys::extraAddresses, joined(entries));
}

} // namespace ExtraAddresses
