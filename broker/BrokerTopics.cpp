#include "broker/BrokerTopics.h"

namespace BrokerTopics {

namespace {
const QString kRoot = QStringLiteral("veltrum");
const QString kAll = QStringLiteral("all");
const QString kTo = QStringLiteral("to");
const QString kSourcePrefix = QStringLiteral("mqtt:");
} // namespace

QString sourceOf(const QString& user)
{
    return kSourcePrefix + user;
}

bool isBrokerSource(const QString& source)
{
    return source.startsWith(kSourcePrefix) && isTopicUser(userOfSource(source));
}

QString userOfSource(const QString& source)
{
    return source.mid(kSourcePrefix.size());
}

bool isTopicUser(const QString& user)
{
    return !user.isEmpty() && user.size() <= kMaxUserLength && !user.contains(QLatin1Char('+')) &&
           !user.contains(QLatin1Char('#')) && !user.contains(QLatin1Char('/')) &&
           !user.contains(QChar(0));
}

QString whyNotTopicUser()
{
    return QStringLiteral("שם המשתמש בשרת ההודעות חייב להכיל תו אחד לפחות ועד %1 תווים, ללא "
                          "התווים + # /")
        .arg(kMaxUserLength);
}

QString everybodyTopic(const QString& user)
{
    return QStringList{kRoot, kAll, user}.join(QLatin1Char('/'));
}

QString answerTopic(const QString& recipient, const QString& user)
{
    return QStringList{kRoot, kTo, recipient, user}.join(QLatin1Char('/'));
}

QStringList subscriptions(const QString& user)
{
    return {QStringList{kRoot, kAll, QStringLiteral("#")}.join(QLatin1Char('/')),
            QStringList{kRoot, kTo, user, QStringLiteral("#")}.join(QLatin1Char('/'))};
}

std::optional<QString> publisherOf(const QString& topic)
{
    const QStringList parts = topic.split(QLatin1Char('/'));
    if (parts.value(0) != kRoot)
        return std::nullopt;
    const bool everybody = parts.size() == 3 && parts[1] == kAll;
    const bool answer = parts.size() == 4 && parts[1] == kTo;
    if (!(everybody || answer) || !isTopicUser(parts.last()))
        return std::nullopt;
    return parts.last();
}

} // namespace BrokerTopics
