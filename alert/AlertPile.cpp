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

namespace {

QRect availableArea(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}

// The window with the desktop's title bar and borders, known only once it is shown.
QSize framedSize(const QWidget* window)
{
    return window->size() +
           QSize(2 * AlertPile::kBorderPx, AlertPile::kCascadeStepPx + AlertPile::kBorderPx);
}

} // namespace

QPoint AlertPile::placeListFor(const QWidget* list)
{
    const QRect area = availableArea(list);
    const QSize room = framedSize(list);
    return {qMax(area.left(), area.right() + 1 - room.width()),
            qMax(area.top(), area.bottom() + 1 - room.height())};
}

QPoint AlertPile::placeFor(const QWidget* alert) const
{
    const QRect area = availableArea(alert);
    const QSize room = framedSize(alert);
    const PiledAlert* latest = nullptr;
    for (const PiledAlert* other : alerts())
        if (other != alert && other->isVisible())
            latest = other;
    if (!latest) {
        QRect middle(QPoint(), room);
        middle.moveCenter(area.center());
        return middle.topLeft();
    }
    // From the latest, wherever the user moved it, but inside the screen.
    const int rightmost = qMax(area.left(), area.right() + 1 - room.width());
    const int lowest = qMax(area.top(), area.bottom() + 1 - room.height());
    QPoint next = latest->pos() + QPoint(-kCascadeStepPx, kCascadeStepPx);
    next.setX(qMin(next.x(), rightmost));
    next.setY(qMax(next.y(), area.top()));
    if (next.y() > lowest) // a new column, from the top
        next.setY(area.top());
    if (next.x() < area.left()) // back to the right edge
        next.setX(rightmost);
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
