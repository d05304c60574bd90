#pragma once

#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWidget;

// The controls of the alert window, laid out right to left on the window
// given to buildRemindForm, each named after its control.
struct RemindForm
{
    QLabel* Image1 = nullptr;
    QLabel* LblCaption = nullptr;
    // Hidden until the reminder changes while shown: updated, or deleted.
    QLabel* LblState = nullptr;
    // Shown for a copy received in an unsigned datagram: its author is not verified.
    QLabel* LblUnverified = nullptr;
    QLabel* Label1[4] = {};
    QLineEdit* CTarget = nullptr;
    QLabel* LblHebrewDate = nullptr; // the due date's Hebrew date, beside CTarget
    QLineEdit* CImportance = nullptr;
    QLineEdit* CEventType = nullptr;
    QPlainTextEdit* CDetail = nullptr;
    QLabel* ILate = nullptr;
    QLabel* IPostpone = nullptr;
    QComboBox* RDelay = nullptr;
    QPushButton* cmdDelay = nullptr;
    QToolButton* cmdDelete = nullptr;
    QPushButton* cmdShowList = nullptr;
    QPushButton* cmdExit = nullptr;
    // Shown while two or more alerts are open: every open alert at once.
    QPushButton* cmdCloseAll = nullptr;
    QPushButton* cmdDelayAll = nullptr;
};

RemindForm buildRemindForm(QWidget* window);
