#include "AdvOptStep.h"

#include "Failure.h"

#include <cmath>
#include <limits>

namespace {

double roundHalfToEven(double x)
{
    const double below = std::floor(x);
    const double diff = x - below;
    if (diff < 0.5)
        return below;
    if (diff > 0.5)
        return below + 1;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

} // namespace

short StepCountFromText(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    // "inf" and "nan" parse as doubles but are no numbers a user means.
    if (!ok || !std::isfinite(value))
        throw Failure(QStringLiteral("Type mismatch"), 13);
    const double rounded = roundHalfToEven(value);
    if (rounded < std::numeric_limits<short>::min() || rounded > std::numeric_limits<short>::max())
        throw Failure(QStringLiteral("Overflow"), 6);
    return static_cast<short>(rounded);
}

bool IsUsableStepText(const QString& text)
{
    try {
        return StepCountFromText(text) >= MinStepCount;
    } catch (const Failure&) {
        return false;
    }
}
