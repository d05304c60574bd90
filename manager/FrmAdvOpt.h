#pragma once

#include "manager/AdvOptControls.h"

#include <QDialog>

struct AdvancedOptions;
class QFocusEvent;

// The advanced recurrence options window "אפשרויות מופע חוזר". It shows the
// rule it is given and writes it back only when confirmed; exec() tells
// which (QDialog::Accepted).
class FrmAdvOpt : public QDialog
{
    Q_OBJECT
public:
    explicit FrmAdvOpt(AdvancedOptions& options, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void AdvEventType_Click();
    void SetVisible();
    void NoEnd_Click();
    void showUnitWord();
    void TxtNPeriod_Validate(const QFocusEvent* leaving);
    bool handleKey(QKeyEvent* event);
    void cmdSave_Click();
    void cmdCancel_Click();
    void refuseStep();
    AdvancedOptions readControls(const AdvancedOptions& from) const;

    AdvancedOptions& m_options;
    AdvOptControls ui;
    // Set from a refused focus change until the refusal is shown, so the
    // click that tried to move the focus does nothing.
    bool m_stepRefused = false;
};
