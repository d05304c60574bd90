#pragma once

#include <QGroupBox>

class BrokerLink;
class QCheckBox;
class QLabel;
class QLineEdit;

// The options window's group "שרת הודעות": the broker's address, the user
// name, the password (kept through BrokerPassword, never in the settings
// file), the certificate authority's file, the relay switch "ממסר", and the
// state of a connection made with the settings as stored, so the user sees
// whether they work (connected, or refused and why).
class BrokerOptions : public QGroupBox
{
    Q_OBJECT
public:
    explicit BrokerOptions(QWidget* parent);

    // The field that is refused, with why (Hebrew); nullptr when all are fine.
    QLineEdit* refusedControl(QString* why) const;
    // Writes what changed; true when Tolvane must now connect anew. A new
    // password is kept later (the keyring answers), and Tolvane restarted then;
    // one not kept is told in the log.
    bool save();

private:
    void showState();

    QLineEdit* txtBrokerAddress;
    QLineEdit* txtBrokerUser;
    QLineEdit* txtBrokerPassword; // empty: unchanged
    QLineEdit* txtBrokerCaFile;
    QCheckBox* OptRelay;
    QLabel* LblBrokerState;
    BrokerLink* m_probe = nullptr;
};
