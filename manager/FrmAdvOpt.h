#pragma once

#include <QDialog>

// The advanced recurrence options window "אפשרויות מופע חוזר". It works only on
// AdvOptions (ManagerState.h): filled by the caller before exec(), written
// back and Accepted set when confirmed.
class FrmAdvOpt : public QDialog
{
    Q_OBJECT
public:
    explicit FrmAdvOpt(QWidget* parent = nullptr);
};
