#include "store/ReminderChanges.h"

ReminderChanges* ReminderChanges::instance()
{
    static ReminderChanges changes;
    return &changes;
}

quint64 ReminderChanges::serial()
{
    return instance()->m_serial;
}

void ReminderChanges::raise()
{
    ++instance()->m_serial;
    emit instance()->changed();
}
