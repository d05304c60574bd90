#include "store/NameList.h"

bool InNameList(const QString& name, const QString& list)
{
    qsizetype pos = 0;
    while (pos < list.size()) {
        qsizetype end = list.indexOf(kNameEnd, pos);
        if (end < 0)
            end = list.size();
        if (QStringView(list).mid(pos, end - pos) == name)
            return true;
        pos = end + 1;
    }
    return false;
}
