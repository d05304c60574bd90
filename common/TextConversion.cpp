#include "common/TextConversion.h"

#include "platform/Failure.h"

#include <QLocale>

#include <cmath>

namespace {

// A decimal number as it is typed or stored ("217", "0217", " 1 ", "1.5").
// "inf" and "nan" parse as doubles but are no numbers a user means.
double toNumber(const QString& text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        throw Failure::typeMismatch();
    return number;
}

double roundedNumber(const QString& text)
{
    return std::nearbyint(toNumber(text)); // halves to even
}

} // namespace

bool textToBool(const QString& text)
{
    const QString word = text.trimmed();
    if (word.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    return toNumber(word) != 0;
}

short textToShort(const QString& text)
{
    return numberToShort(toNumber(text));
}

short numberToShort(double number)
{
    const double rounded = std::nearbyint(number); // halves to even
    if (!(rounded >= -32768 && rounded <= 32767))
        throw Failure::overflow();
    return short(rounded);
}

quint16 textToPort(const QString& text)
{
    const double rounded = roundedNumber(text);
    if (rounded < 1 || rounded > 65535)
        throw Failure(QStringLiteral("%1 is not a UDP port (1-65535)").arg(text.trimmed()));
    return quint16(rounded);
}
