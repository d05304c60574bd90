#include "alert/AlertPile.h"

#include "scheduling/PublishNextDate.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

AlertPile& AlertPile::instance()
{
    static QPointer<AlertPile> pile; // lives with the application
    if (!pile)
        pile = new AlertPile(QCoreApplication::instance());
    return *pile;
}

QList<PiledAlert*> AlertPile::alerts() const
{
    QList<PiledAlert*> open;
    for (const QPointer<PiledAlert>& alert : m_alerts)
        if (alert)
            open << alert;
    return open;
}

int AlertPile::count() const
{
    return windowCount() + (m_list ? m_list->rowCount() : 0);
}

void AlertPile::closeAll()
{
    const HeldPublication once;
    for (const QPointer<PiledAlert>& alert : QList(m_alerts))
        if (alert)
            alert->close();
    if (m_list)
        m_list->closeRows();
}

void AlertPile::postponeAll(std::optional<int> delayCode)
{
    const HeldPublication once;
    for (const QPointer<PiledAlert>& alert : QList(m_alerts))
        if (alert)
            alert->postponeBy(delayCode.value_or(alert->chosenDelay()));
    if (m_list)
        m_list->postponeRows(delayCode);
}

QPoint AlertPile::placeFor(const QWidget* alert) const
{
    const QScreen* screen = alert->screen() ? alert->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const QSize room = alert->size() + QSize(0, kCascadeStepPx); // with the desktop's title bar
    const PiledAlert* latest = nullptr;
    for (const PiledAlert* other : alerts())
        if (other != alert && other->isVisible())
            latest = other;
    if (!latest) {
        QRect middle(QPoint(), room);
        middle.moveCenter(area.center());
        return middle.topLeft();
    }
    QPoint next = latest->pos() + QPoint(-kCascadeStepPx, kCascadeStepPx);
    if (next.y() + room.height() > area.bottom())
        next.setY(area.top());
    if (next.x() < area.left())
        next.setX(area.right() - room.width());
    return next;
}

void AlertPile::join(PiledAlert* alert)
{
    m_alerts.removeAll(nullptr);
    if (m_alerts.contains(alert))
        return;
    m_alerts << alert;
    emit countChanged(count());
}

void AlertPile::leave(PiledAlert* alert)
{
    const qsizetype before = m_alerts.size();
    m_alerts.removeAll(alert);
    m_alerts.removeAll(nullptr);
    if (m_alerts.size() != before)
        emit countChanged(count());
}

void AlertPile::setList(PiledList* list)
{
    m_list = list;
    rowsChanged();
}

void AlertPile::rowsChanged()
{
    emit countChanged(count());
}
