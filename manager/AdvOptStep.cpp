#include "manager/AdvOptStep.h"

#include "common/TextConversion.h"
#include "platform/Failure.h"

bool IsUsableStepText(const QString& text)
{
    try {
        return textToShort(text) >= MinStepCount;
    } catch (const Failure&) {
        return false;
    }
}
