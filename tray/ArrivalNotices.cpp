#include "tray/ArrivalNotices.h"

#include "common/KalvexBus.h"
#include "common/KalvexProxies.h"

#include <QDBusConnection>

namespace {

// "חדשה", "עודכנה" or "נמחקה", as the notice tells the kind.
QString kindText(const QString& kind)
{
    if (kind == KalvexBus::arrivalChanged)
        return QStringLiteral("עודכנה");
    if (kind == KalvexBus::arrivalDeleted)
        return QStringLiteral("נמחקה");
    return QStringLiteral("חדשה");
}

} // namespace

ArrivalNotices::ArrivalNotices(std::function<void(const QString&, const QString&)> show,
                               QObject* parent)
    : QObject(parent), m_show(std::move(show))
{
    setObjectName(QStringLiteral("ArrivalNotices"));
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(kCoalesceMs);
    connect(&m_coalesce, &QTimer::timeout, this, &ArrivalNotices::showGathered);
    auto* kalvex = new KalvexKVClassInterface(KalvexBus::serviceName, KalvexBus::objectPath,
                                              QDBusConnection::sessionBus(), this);
    connect(kalvex, &KalvexKVClassInterface::SharedReminderArrived, this, &ArrivalNotices::take);
    connect(kalvex, &KalvexKVClassInterface::SharedRemindersHeldBack, this,
            &ArrivalNotices::takeHeldBack);
}

void ArrivalNotices::take(const QString& kind, int reminderId, const QString& author,
                          const QString& caption, const QString& due)
{
    if (m_gathered.size() < kMaxListed)
        m_gathered.append({kind, reminderId, author, caption, due});
    else
        takeHeldBack(1);
    if (!m_coalesce.isActive())
        m_coalesce.start();
}

void ArrivalNotices::takeHeldBack(int count)
{
    if (count <= 0)
        return;
    m_more += qMin(count, kMaxCounted - m_more);
    if (!m_coalesce.isActive())
        m_coalesce.start();
}

void ArrivalNotices::showGathered()
{
    if (m_gathered.isEmpty() && m_more == 0)
        return;
    const Arrival* last = m_gathered.isEmpty() ? nullptr : &m_gathered.last();
    m_clickTarget = last && last->kind != KalvexBus::arrivalDeleted ? last->reminderId : 0;
    QString title;
    QStringList lines;
    if (last && m_gathered.size() == 1 && m_more == 0) {
        title = QStringLiteral("תזכורת משותפת %1 מאת %2").arg(kindText(last->kind), last->author);
        lines << last->caption + QStringLiteral(" - ") + last->due;
    } else {
        title = QStringLiteral("%1 תזכורות משותפות").arg(m_gathered.size() + m_more);
        for (const Arrival& a : m_gathered)
            lines << QStringLiteral("%1 (%2): %3 - %4")
                         .arg(a.author, kindText(a.kind), a.caption, a.due);
        if (!last) // told only by their count
            lines << QStringLiteral("פרטיהן ברשימת התזכורות");
        else if (m_more > 0)
            lines << QStringLiteral("ועוד %1").arg(m_more);
    }
    m_gathered.clear();
    m_more = 0;
    m_show(title, lines.join(QLatin1Char('\n')));
}
