#include "broker/BrokerAddress.h"

#include <QUrl>

std::optional<BrokerAddress> parseBrokerAddress(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) ||
        url.host().isEmpty() || !url.userInfo().isEmpty() || !url.path().isEmpty() ||
        url.hasQuery() || url.hasFragment())
        return std::nullopt;
    const bool tls = scheme == QLatin1String("mqtts");
    return BrokerAddress{url.host(), url.port(tls ? 8883 : 1883), tls};
}

QString whyNotBrokerAddress()
{
    return QStringLiteral("כתובת שרת ההודעות צריכה להיות בצורה mqtt://שם-מחשב:פורט או "
                          "mqtts://שם-מחשב:פורט");
}
