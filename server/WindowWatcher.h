#pragma once

#include <QObject>

class QWidget;

// Reports every top-level widget of this process that is shown or hidden
// (closing hides first), so the lifetime and the debug interface need not
// know each window class.
class WindowWatcher : public QObject
{
    Q_OBJECT
public:
    explicit WindowWatcher(QObject* parent = nullptr); // watches qApp

    // Visible top-level widgets, in no particular order.
    static QList<QWidget*> visibleWindows();

signals:
    void windowShown(QWidget* window);
    void windowHidden(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
