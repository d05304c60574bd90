#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <optional>

class AlertList;
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

// What the pile asks of the list of the alerts beyond its windows: AlertList.
class PiledList
{
public:
    virtual int rowCount() const = 0;
    // Every row closed as its alert's close does, or postponed by the code
    // (by the list's own chosen postponement when none is given).
    virtual void closeRows() = 0;
    virtual void postponeRows(std::optional<int> delayCode) = 0;

protected:
    ~PiledList() = default;
};

// The alerts shown in this process: the alert windows, in the order they
// opened, and the rows of the list. After a weekend many fall due at once:
// the windows open offset from each other so every title stays readable,
// the rest wait in one list, and all can be closed or postponed at once.
class AlertPile : public QObject
{
    Q_OBJECT
public:
    static AlertPile& instance();

    // Alert windows open at once at most; the alerts beyond them are rows of
    // the list. Five cascaded windows leave every title readable on a small
    // screen (the sixth starts to cover the work), and five due at once still
    // open five windows, as they always have.
    static constexpr int kMaxWindows = 5;

    // Every alert shown: the windows and the list's rows.
    int count() const;
    int windowCount() const { return int(alerts().size()); }
    QList<PiledAlert*> alerts() const;

    // Each alert closes as its own close would (moving its reminder on),
    // one after the other, the list's rows too; the next due time is
    // published once at the end.
    void closeAll();
    // Each alert is postponed as its own postponement would be, by the
    // choice's code, or by its own chosen postponement when none is given
    // (the list's rows by the list's); one publication at the end. An alert
    // whose reminder is gone stays open, marked, as its own postponement
    // leaves it.
    void postponeAll(std::optional<int> delayCode = std::nullopt);

    // Where a new alert of this size opens: the first in the middle of the
    // screen, each later one a title bar's height below and (right to left)
    // to the left of the latest, starting a new column at the top once the
    // screen's bottom is reached and going back to the right edge past the
    // left one: always inside the screen's available area, also when the
    // latest was moved partly off it.
    QPoint placeFor(const QWidget* alert) const;
    // Where the list of the alerts beyond the windows opens: the screen's bottom right corner,
    // below the title bars of a full cascade (which starts in the middle) on a screen of 768
    // pixels or more, so the list, opened last and on top, covers none of them.
    static QPoint placeListFor(const QWidget* list);
    static constexpr int kCascadeStepPx = 32;
    static constexpr int kBorderPx = 6; // a window frame's border, allowed for

signals:
    void countChanged(int count);

private:
    friend class Remind;    // an alert joins when it opens and leaves when it closes
    friend class AlertList; // the list joins while it exists and tells its rows
    using QObject::QObject;
    void join(PiledAlert* alert);
    void leave(PiledAlert* alert);
    void setList(PiledList* list);
    void rowsChanged();

    QList<QPointer<PiledAlert>> m_alerts;
    PiledList* m_list = nullptr;
};
