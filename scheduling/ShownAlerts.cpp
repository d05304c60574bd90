#include "scheduling/ShownAlerts.h"

#include <QHash>
#include <QString>

namespace {

// The reminders whose alert window is open, for the life of the process.
QHash<QString, qint32>& shownAlerts()
{
    static QHash<QString, qint32> alerts;
    return alerts;
}

QString keyOf(qint32 reminderId)
{
    return QString::number(reminderId) + QLatin1Char('N');
}

AlertOpener& alertOpener()
{
    static AlertOpener opener;
    return opener;
}

} // namespace

bool MarkShown(qint32 reminderId)
{
    const QString key = keyOf(reminderId);
    if (shownAlerts().contains(key))
        return false;
    shownAlerts().insert(key, reminderId);
    return true;
}

bool IsShown(qint32 reminderId)
{
    return shownAlerts().contains(keyOf(reminderId));
}

void UnmarkShown(qint32 reminderId)
{
    shownAlerts().remove(keyOf(reminderId));
}

void setAlertOpener(AlertOpener opener)
{
    alertOpener() = std::move(opener);
}

void ShowAlert(qint32 reminderId)
{
    if (!MarkShown(reminderId))
        return; // its window is open already
    try {
        if (!alertOpener())
            throw std::runtime_error("no alert window installed");
        alertOpener()(reminderId);
    } catch (...) {
        // The window logs its own failures; the reminder may be shown again.
        UnmarkShown(reminderId);
    }
}
