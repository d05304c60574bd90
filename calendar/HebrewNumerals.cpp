#include "calendar/HebrewNumerals.h"

#include "platform/Failure.h"

namespace {

constexpr QChar kGeresh = u'\'';
constexpr QChar kGershayim = u'"';

const char16_t kUnits[] = u"אבגדהוזחט";
const char16_t kTens[] = u"יכלמנסעפצ";
const char16_t kHundreds[] = u"קרשת";

QString letters(int number)
{
    QString text;
    for (; number >= 400; number -= 400)
        text += QChar(u'ת');
    if (number >= 100) {
        text += QChar(kHundreds[number / 100 - 1]);
        number %= 100;
    }
    if (number == 15 || number == 16) // 9 + 6 and 9 + 7
        return text + QChar(u'ט') + QChar(kUnits[number - 9 - 1]);
    if (number >= 10) {
        text += QChar(kTens[number / 10 - 1]);
        number %= 10;
    }
    if (number > 0)
        text += QChar(kUnits[number - 1]);
    return text;
}

} // namespace

QString hebrewNumeral(int number)
{
    if (number < 1 || number > 999)
        throw Failure::invalidCall();
    const QString text = letters(number);
    if (text.size() == 1)
        return text + kGeresh;
    return text.left(text.size() - 1) + kGershayim + text.right(1);
}
