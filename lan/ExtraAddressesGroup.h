#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;

// The options window's group of extra addresses (common/ExtraAddresses.h):
// the list as stored, the refusal of a bad one beside it.
class ExtraAddressesGroup : public QGroupBox
{
public:
    explicit ExtraAddressesGroup(QWidget* parent);

    // Whether the typed list is good; when not, says why beside the field and
    // gives the field the focus, leaving what was typed as it is.
    bool check();
    // Writes the list checked good; false when the write failed.
    bool save() const;

private:
    QLabel* LblExtraAddresses;
    QLineEdit* txtExtraAddresses;
    QLabel* LblExtraRefused;
};
