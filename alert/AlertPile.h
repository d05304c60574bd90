#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <optional>

class Remind;

// What the pile asks of an alert window beside its close: the alert window
// (Remind) is one.
class PiledAlert : public QWidget
{
public:
    using QWidget::QWidget;
    // The code of the postponement chosen in the alert.
    virtual int chosenDelay() const = 0;
    // Postpones the alert's reminder by the choice's code, as the alert's own postponement does.
    virtual void postponeBy(int delayCode) = 0;
};

// The alert windows open in this process, in the order they opened. After a
// weekend many fall due at once: they open offset from each other so every
// title stays readable, and they can be closed or postponed all at once.
class AlertPile : public QObject
{
    Q_OBJECT
public:
    static AlertPile& instance();

    int count() const { return int(m_alerts.size()); }
    QList<PiledAlert*> alerts() const;

    // Each alert closes as its own close would (moving its reminder on),
    // one after the other; the next due time is published once at the end.
    void closeAll();
    // Each alert is postponed as its own postponement would be, by the
    // choice's code, or by its own chosen postponement when none is given;
    // one publication at the end. An alert whose reminder is gone stays open,
    // marked, as its own postponement leaves it.
    void postponeAll(std::optional<int> delayCode = std::nullopt);

    // Where a new alert of this size opens: the first in the middle of the
    // screen, each later one a title bar's height below and (right to left)
    // to the left of the latest, starting a new column at the top once the
    // screen's bottom is reached and going back to the right edge past the
    // left one: always inside the screen's available area, also when the
    // latest was moved partly off it.
    QPoint placeFor(const QWidget* alert) const;
    static constexpr int kCascadeStepPx = 32;
    static constexpr int kBorderPx = 6; // a window frame's border, allowed for

signals:
    void countChanged(int count);

private:
    friend class Remind; // an alert joins when it opens and leaves when it closes
    using QObject::QObject;
    void join(PiledAlert* alert);
    void leave(PiledAlert* alert);

    QList<QPointer<PiledAlert>> m_alerts;
};
