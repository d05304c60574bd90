#pragma once

#include <QString>

// A number of 1-999 in Hebrew letters, the way dates and years are written: a
// geresh after a single letter ("א'", "ל'"), gershayim before the last of
// several ("כ"ז", "תשפ"ז"); 15 and 16 are "ט"ו" and "ט"ז", never the letters of
// the Name. Other numbers throw Failure. The marks are the keyboard's ' and ",
// which every font has.
QString hebrewNumeral(int number);
