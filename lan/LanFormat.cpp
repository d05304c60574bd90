#include "lan/LanFormat.h"

#include "common/LanText.h"
#include "common/Log.h"
#include "common/TextConversion.h"
#include "platform/Failure.h"
#include "scheduling/ReminderRules.h"

#include <QRegularExpression>

namespace {

qint64 lanToInteger(const QString& token, qint64 min, qint64 max)
{
    static const QRegularExpression decimal(QStringLiteral("^-?[0-9]{1,19}$"));
    if (!decimal.match(token).hasMatch())
        throw Failure::typeMismatch();
    bool ok = false;
    const qint64 value = token.toLongLong(&ok, 10);
    if (!ok || value < min || value > max)
        throw Failure::overflow();
    return value;
}

} // namespace

short StrTok(const QString& text, QStringList& tokens, QChar delimiter)
{
    tokens.clear();
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype end = text.indexOf(delimiter, pos);
        if (end < 0) {
            tokens.append(QString());
            WriteLog(QStringLiteral("StrTok Error: ") + datagramExcerpt(text), LogError);
            return 0;
        }
        tokens.append(text.mid(pos, end - pos));
        pos = end + 1;
    }
    return short(qMin<qsizetype>(tokens.size(), 32767));
}

const QString& tokenAt(const QStringList& tokens, int index)
{
    if (index < 0 || index >= tokens.size())
        throw Failure(QStringLiteral("Subscript out of range"), 9);
    return tokens.at(index);
}

QString lanBool(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool lanToBool(const QString& token)
{
    return textToBool(token);
}

qint32 lanToLong(const QString& token)
{
    return qint32(lanToInteger(token, INT32_MIN, INT32_MAX));
}

short lanToShort(const QString& token)
{
    return short(lanToInteger(token, -32768, 32767));
}

Date lanToDate(const QString& token)
{
    if (const std::optional<Date> d = parseNextDate(token))
        return *d;
    throw Failure::typeMismatch();
}

std::optional<QString> NicknameFault(const QString& name)
{
    if (name.size() > kAuthorWidth)
        return QStringLiteral("\"%1\" ארוך מ-%2 תווים").arg(name).arg(kAuthorWidth);
    for (QChar c : name)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("תו בקרה בשם \"%1\"").arg(name);
    return std::nullopt;
}

void requireNickname(const QString& name)
{
    if (name.isEmpty() || NicknameFault(name))
        throw Failure(QStringLiteral("Invalid nickname"), 5);
}

QString NameListFromCommas(const QString& names)
{
    const auto refuse = [](const QString& why) {
        throw ReminderRefused(ReminderField::SentTo, why);
    };
    QString list;
    for (const QString& untrimmed : names.split(QLatin1Char(','))) {
        const QString name = untrimmed.trimmed();
        if (name.isEmpty())
            refuse(QStringLiteral("שם ריק ברשימת הנמענים"));
        if (const std::optional<QString> fault = NicknameFault(name))
            refuse(*fault);
        if (!unsendableCharacters(name).isEmpty())
            refuse(QStringLiteral("בשם \"%1\" יש תו שאי אפשר לשלוח ברשת").arg(name));
        list += name + kNameEnd;
    }
    if (list.size() > kNameListWidth)
        refuse(QStringLiteral("רשימת הנמענים ארוכה מ-%1 תווים").arg(kNameListWidth));
    return list;
}

QString CommasFromNameList(const QString& list)
{
    QStringList names = list.split(kNameEnd);
    if (list.endsWith(kNameEnd))
        names.removeLast();
    return names.join(QLatin1Char(','));
}
