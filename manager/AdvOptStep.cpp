#include "AdvOptStep.h"

#include "Failure.h"
#include "TextConversion.h"

bool IsUsableStepText(const QString& text)
{
    try {
        return textToShort(text) >= MinStepCount;
    } catch (const Failure&) {
        return false;
    }
}
