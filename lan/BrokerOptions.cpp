#include "lan/BrokerOptions.h"

#include "broker/BrokerAddress.h"
#include "broker/BrokerLink.h"
#include "broker/BrokerPassword.h"
#include "broker/BrokerSettings.h"
#include "broker/BrokerTopics.h"
#include "common/Log.h"
#include "lan/RestartMonitor.h"
#include "platform/ui/Named.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

BrokerOptions::BrokerOptions(QWidget* parent)
    : QGroupBox(QStringLiteral("שרת הודעות (עמיתים מחוץ לרשת המקומית)"), parent)
{
    setObjectName(QStringLiteral("FrameBroker"));
    const BrokerSettings stored = readBrokerSettings();
    const auto box = [this](const QString& text, const char* name) {
        return named(new QLineEdit(text, this), QString::fromLatin1(name));
    };
    txtBrokerAddress = box(stored.address, "txtBrokerAddress");
    txtBrokerAddress->setPlaceholderText(QStringLiteral("mqtts://שם-מחשב:8883"));
    txtBrokerUser = box(stored.user, "txtBrokerUser");
    txtBrokerPassword = box(QString(), "txtBrokerPassword");
    txtBrokerPassword->setEchoMode(QLineEdit::Password);
    txtBrokerPassword->setPlaceholderText(QStringLiteral("ללא שינוי"));
    txtBrokerCaFile = box(stored.caFile, "txtBrokerCaFile");
    txtBrokerCaFile->setPlaceholderText(QStringLiteral("אישורי המערכת"));
    OptRelay = named(new QCheckBox(QStringLiteral("ממסר: העבר בין הרשת המקומית לשרת"), this),
                     QStringLiteral("OptRelay"));
    OptRelay->setToolTip(QStringLiteral(
        "מחשב זה יעביר לשרת ההודעות את מה שנשלח ברשת המקומית, גם ממחשבים שאינם מחוברים לשרת "
        "(כמו גרסת Windows), וישדר ברשת המקומית את מה שעמיתים מחוץ לה שולחים. די במחשב אחד "
        "כזה בכל רשת מקומית."));
    OptRelay->setChecked(stored.relay);
    LblBrokerState = named(new QLabel(this), QStringLiteral("LblBrokerState"));
    LblBrokerState->setWordWrap(true);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("כתובת"), txtBrokerAddress);
    layout->addRow(QStringLiteral("שם משתמש"), txtBrokerUser);
    layout->addRow(QStringLiteral("סיסמה"), txtBrokerPassword);
    layout->addRow(QStringLiteral("קובץ רשויות אישורים"), txtBrokerCaFile);
    layout->addRow(OptRelay);
    layout->addRow(LblBrokerState);

    const std::optional<BrokerAddress> address = parseBrokerAddress(stored.address);
    if (!stored.enabled() || !address || !BrokerTopics::isTopicUser(stored.user)) {
        LblBrokerState->setText(stored.enabled() ? QStringLiteral("ההגדרות אינן תקינות")
                                                 : QStringLiteral("לא מוגדר שרת הודעות"));
        return;
    }
    // Asks nothing of the broker but to be let in.
    m_probe = new BrokerLink(
        {*address,
         stored.user,
         stored.caFile,
         QStringLiteral("veltrum-options-%1").arg(QCoreApplication::applicationPid()),
         false,
         {}},
        this);
    connect(m_probe, &BrokerLink::stateChanged, this, &BrokerOptions::showState);
    showState();
    BrokerPassword::read(m_probe, [probe = m_probe](const QString& password, const QString&) {
        probe->start(password);
    });
}

void BrokerOptions::showState()
{
    switch (m_probe->state()) {
    case BrokerLink::State::Connected:
        LblBrokerState->setText(QStringLiteral("מחובר"));
        break;
    case BrokerLink::State::Connecting:
        LblBrokerState->setText(QStringLiteral("מתחבר…"));
        break;
    case BrokerLink::State::Refused:
        LblBrokerState->setText(QStringLiteral("אין חיבור: ") + m_probe->why());
        break;
    }
}

QLineEdit* BrokerOptions::refusedControl(QString* why) const
{
    if (txtBrokerAddress->text().trimmed().isEmpty())
        return nullptr;
    if (!parseBrokerAddress(txtBrokerAddress->text())) {
        *why = whyNotBrokerAddress();
        return txtBrokerAddress;
    }
    if (!BrokerTopics::isTopicUser(txtBrokerUser->text().trimmed())) {
        *why = BrokerTopics::whyNotTopicUser();
        return txtBrokerUser;
    }
    return nullptr;
}

bool BrokerOptions::save()
{
    const BrokerSettings before = readBrokerSettings();
    const BrokerSettings after{txtBrokerAddress->text().trimmed(), txtBrokerUser->text().trimmed(),
                               txtBrokerCaFile->text().trimmed(), OptRelay->isChecked()};
    const bool changed = after.address != before.address || after.user != before.user ||
                         after.caFile != before.caFile || after.relay != before.relay;
    if (changed && !writeBrokerSettings(after))
        WriteLog(QStringLiteral("Save Settings: the broker's settings were not written"), LogError);
    if (txtBrokerPassword->text().isEmpty())
        return changed;
    // The answer may come after the window closed: the log keeps it.
    BrokerPassword::write(QCoreApplication::instance(), txtBrokerPassword->text(),
                          [](const QString& error) {
                              if (!error.isEmpty())
                                  WriteLog(QStringLiteral("Save Settings: ") + error, LogError);
                              RestartMonitor();
                          });
    return false;
}
