#pragma once

#include <QString>

#include <array>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

// The controls of the advanced recurrence options window, each carrying its
// control name as objectName.
struct AdvOptControls
{
    QLabel* LabelType = nullptr;
    QComboBox* AdvEventType = nullptr;
    QFrame* OptFrame = nullptr;
    std::array<QRadioButton*, 2> OptPeriod{};
    std::array<QLabel*, 3> Label1{};
    QLineEdit* TxtNPeriod = nullptr;
    QLabel* LblPeriod = nullptr;
    QLabel* LblAdvWeek = nullptr;
    std::array<QCheckBox*, 7> WeekDay{};
    QLabel* LblAdvMonth = nullptr;
    QComboBox* MonthCombo2 = nullptr;
    QComboBox* MonthCombo1 = nullptr;
    QLabel* LblOccurrences = nullptr; // the next occurrences, under the rule
    QDateEdit* CDateStart1 = nullptr;
    QTimeEdit* CDateStart2 = nullptr;
    QDateEdit* CDateEnd1 = nullptr;
    QTimeEdit* CDateEnd2 = nullptr;
    QCheckBox* NoEnd = nullptr;
    QCheckBox* SkipDaysOff = nullptr; // "דלג על ימי חג", daily and weekly rules
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
};

// Creates the controls inside the window and lays them out right to left.
AdvOptControls BuildAdvOptControls(QDialog* window);
