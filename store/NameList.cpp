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

// A list's entries each end in CR, so "CR name CR" is found in "CR list"
// exactly when the name is one of its entries.
QString Queries::inNameList(const QString& column)
{
    return QStringLiteral("instr(char(13) || IFNULL(%1, ''), char(13) || ? || char(13)) > 0")
        .arg(column);
}
