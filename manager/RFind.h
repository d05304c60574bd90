#pragma once

#include <QDialog>

class RMain;
class QComboBox;
class QLabel;
class QLineEdit;

// The find dialog "חיפוש": collects what to look for, where and how, and
// shows the manager window's answer (RMain::MyFind). It stays open between
// searches; the match becomes the list's current reminder.
class RFind : public QDialog
{
    Q_OBJECT
public:
    explicit RFind(RMain* owner);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdFind_Click(int Index);

    RMain* m_owner;
    QLineEdit* SearchText = nullptr;
    QComboBox* SearchIn = nullptr;
    QComboBox* SearchBy = nullptr;
    QLabel* LStatus = nullptr;
    QString m_searched; // the text the last search was for
};
