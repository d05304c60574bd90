#pragma once

#include <QMainWindow>

// The manager window "תזכורון ולטרום": the reminder list above, the editor
// below. One instance at a time.
class RMain : public QMainWindow
{
    Q_OBJECT
public:
    // The loaded window, or nullptr; load() creates it when needed ("load the form").
    static RMain* instance();
    static RMain* load();

    // Selects a reminder in the list (switching the filter to "הכל" when needed).
    void ShowIndex(qint32 reminderId);

private:
    explicit RMain(QWidget* parent = nullptr);
    ~RMain() override;
};
