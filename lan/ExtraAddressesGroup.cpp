#include "lan/ExtraAddressesGroup.h"

#include "common/ExtraAddresses.h"
#include "common/SettingsKeys.h"
#include "common/ui/OfficeLock.h"
#include "platform/ui/Named.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

ExtraAddressesGroup::ExtraAddressesGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("מעבר לרשת המקומית"), parent)
{
    setObjectName(QStringLiteral("FrameExtra"));
    LblExtraAddresses = named(new QLabel(QStringLiteral("כתובות נוספות לשליחה (שמות מחשבים, "
                                                        "כתובות ורשתות כגון 10.0.2.0/24, "
                                                        "מופרדים בפסיקים)"),
                                         this),
                              QStringLiteral("LblExtraAddresses"));
    LblExtraAddresses->setWordWrap(true);
    txtExtraAddresses = named(new QLineEdit(ExtraAddresses::storedText(), this),
                              QStringLiteral("txtExtraAddresses"));
    txtExtraAddresses->setMaxLength(ExtraAddresses::kMaxTextChars);
    LblExtraAddresses->setBuddy(txtExtraAddresses);
    LblExtraRefused = named(new QLabel(this), QStringLiteral("LblExtraRefused"));
    LblExtraRefused->setWordWrap(true);
    LblExtraRefused->setStyleSheet(QStringLiteral("color: #b00000"));
    LblExtraRefused->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblExtraAddresses);
    layout->addWidget(txtExtraAddresses);
    layout->addWidget(LblExtraRefused);
    ShowOfficeLock(txtExtraAddresses, SettingsKeys::lanSection, SettingsKeys::extraAddresses);
}

bool ExtraAddressesGroup::check()
{
    const QString refusal = ExtraAddresses::parse(txtExtraAddresses->text()).refusal;
    LblExtraRefused->setText(refusal);
    LblExtraRefused->setVisible(!refusal.isEmpty());
    if (!refusal.isEmpty())
        txtExtraAddresses->setFocus();
    return refusal.isEmpty();
}

bool ExtraAddressesGroup::save() const
{
    return ExtraAddresses::store(ExtraAddresses::parse(txtExtraAddresses->text()).entries);
}
