#pragma once

#include <QWidget>

#include <functional>

// The alert window of one due reminder. Each instance owns its own state and
// deletes itself when closed.
class Remind : public QWidget
{
    Q_OBJECT
public:
    explicit Remind(QWidget* parent = nullptr);
    // Fills the window for one reminder and presents it on top with two beeps.
    void RLoad(qint32 reminderId);
    qint32 reminderId() const;

    // What "פתח ברשימה" does after the window has closed: the server wires
    // it to the manager window (show it and select the reminder).
    static void setOpenInListHandler(std::function<void(qint32 reminderId)> handler);
};
