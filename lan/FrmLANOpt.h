#pragma once

#include <QDialog>

class ExtraAddressesGroup;
class BrokerOptions;
class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// The options window "אפשרויות": whether the tray monitor starts at log-on,
// and the LAN settings (sending, receiving, nickname, port, the office's
// trust policy; this installation's fingerprint is shown for colleagues to
// compare), the extra addresses beyond the LAN (ExtraAddressesGroup) and the
// office's broker (BrokerOptions). Only a confirmed save writes, and a refused
// one (the user is told why) writes
// nothing and leaves the window open.
class FrmLANOpt : public QDialog
{
    Q_OBJECT
public:
    explicit FrmLANOpt(QWidget* parent = nullptr);
    // Whether saving restarted Tolvane already, for the new broker settings.
    bool restartedMonitor() const { return m_restartedMonitor; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void LoadLANOpt();
    void LoadAutoRun();
    bool SaveAutoRun();
    bool SaveSettings();
    void SaveLANSettings();
    QLineEdit* refusedControl(QString* why) const;
    void cmdSave_Click();

    QGroupBox* Frame2;
    QCheckBox* Opt_AutoRun;
    QCheckBox* OptHolidays; // the office's days off for the working-day rules
    QGroupBox* Frame1;
    QCheckBox* OptSend;
    QCheckBox* OptReceive;
    QLabel* Label1[2];
    QLineEdit* txtNick;
    QLineEdit* txtPort;
    QCheckBox* OptSignedOnly; // the policy "signed"; unchecked "mixed"
    QLabel* LblFingerprint;
    ExtraAddressesGroup* FrameExtra; // where datagrams also go beyond the broadcast
    BrokerOptions* FrameBroker;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    // Auto-start as found when the window loaded: 1 this installation's monitor, 0 not.
    short AutoRunState = 0;
    bool m_restartedMonitor = false;
};
