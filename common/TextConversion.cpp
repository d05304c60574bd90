#include "TextConversion.h"

#include "Failure.h"

#include <QLocale>

#include <cmath>

namespace {

Failure typeMismatch()
{
    return Failure(QStringLiteral("Type mismatch"), 13);
}

// A decimal number as the settings file holds it ("217", "0217", " 1 ", "1.5").
bool toNumber(const QString& text, double& number)
{
    bool ok = false;
    number = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(number);
}

double roundedNumber(const QString& text)
{
    double number = 0;
    if (!toNumber(text, number))
        throw typeMismatch();
    return std::nearbyint(number); // halves to even, as the conversion rounds
}

} // namespace

bool textToBool(const QString& text)
{
    const QString word = text.trimmed();
    if (word.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    double number = 0;
    if (!toNumber(word, number))
        throw typeMismatch();
    return number != 0;
}

short textToShort(const QString& text)
{
    const double rounded = roundedNumber(text);
    if (rounded < -32768 || rounded > 32767)
        throw Failure(QStringLiteral("Overflow"), 6);
    return short(rounded);
}

quint16 textToPort(const QString& text)
{
    const double rounded = roundedNumber(text);
    if (rounded < 1 || rounded > 65535)
        throw Failure(QStringLiteral("%1 is not a UDP port (1-65535)").arg(text.trimmed()));
    return quint16(rounded);
}
