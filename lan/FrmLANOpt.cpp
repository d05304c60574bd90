#include "lan/FrmLANOpt.h"

#include "common/AutoRunEntry.h"
#include "common/Log.h"
#include "common/SettingsKeys.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "common/ui/OfficeLock.h"
#include "lan/BrokerOptions.h"
#include "lan/ExtraAddressesGroup.h"
#include "lan/RestartMonitor.h"
#include "platform/AutoStart.h"
#include "platform/Failure.h"
#include "platform/ui/DialogKeys.h"
#include "platform/ui/Named.h"
#include "platform/ui/Prompt.h"
#include "scheduling/DaysOffSetting.h"
#include "store/LanSettings.h"
#include "store/ReminderRecord.h"
#include "trust/Fingerprint.h"
#include "trust/KeyFile.h"
#include "trust/TrustFiles.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace {

// This installation's fingerprint, kept left to right inside the window; why
// not, when the key file cannot be used.
QString ownFingerprint()
{
    try {
        return QStringLiteral("טביעת האצבע שלי: ") + QChar(0x2066) +
               keyFingerprint(loadOrCreateKeyPair(TrustFiles::keyFile()).publicKey()) +
               QChar(0x2069);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("LANOpt Load: ") + describe(e), LogError);
        return describe(e);
    }
}

} // namespace

FrmLANOpt::FrmLANOpt(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmLANOpt"));
    setWindowTitle(QStringLiteral("אפשרויות"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowModality(Qt::WindowModal); // the alerts stay usable

    Frame2 = named(new QGroupBox(QStringLiteral("אפשרויות הפעלה"), this), QStringLiteral("Frame2"));
    Opt_AutoRun = named(new QCheckBox(QStringLiteral("הפעל אוטומטית עם הפעלת המחשב"), Frame2),
                        QStringLiteral("Opt_AutoRun"));
    OptHolidays = named(new QCheckBox(QStringLiteral("חגי ישראל כימי מנוחה"), Frame2),
                        QStringLiteral("OptHolidays"));
    OptHolidays->setToolTip(QStringLiteral("יום חול ויום עבודה ראשון או אחרון בחודש מדלגים על "
                                           "ימי החג; כבוי: ראשון עד חמישי בלבד"));
    auto* startUp = new QVBoxLayout(Frame2);
    startUp->addWidget(Opt_AutoRun);
    startUp->addWidget(OptHolidays);

    Frame1 = named(new QGroupBox(QStringLiteral("אפשרויות רשת"), this), QStringLiteral("Frame1"));
    OptSend = named(new QCheckBox(QStringLiteral("אפשר שליחת עדכונים ברשת"), Frame1),
                    QStringLiteral("OptSend"));
    OptReceive = named(new QCheckBox(QStringLiteral("אפשר קבלת עדכונים ברשת"), Frame1),
                       QStringLiteral("OptReceive"));
    Label1[0] =
        named(new QLabel(QStringLiteral("כינוי שלי ברשת"), Frame1), QStringLiteral("Label1_0"));
    Label1[1] = named(new QLabel(QStringLiteral("מספר פורט"), Frame1), QStringLiteral("Label1_1"));
    txtNick = named(new QLineEdit(Frame1), QStringLiteral("txtNick"));
    txtPort = named(new QLineEdit(SettingsKeys::portDefault, Frame1), QStringLiteral("txtPort"));
    OptSignedOnly = named(new QCheckBox(QStringLiteral("קבל רק הודעות חתומות (אין במשרד גרסת "
                                                       "Windows)"),
                                        Frame1),
                          QStringLiteral("OptSignedOnly"));
    LblFingerprint = named(new QLabel(ownFingerprint(), Frame1), QStringLiteral("LblFingerprint"));
    LblFingerprint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* lan = new QGridLayout(Frame1);
    lan->addWidget(OptSend, 0, 0, 1, 2);
    lan->addWidget(OptReceive, 1, 0, 1, 2);
    lan->addWidget(Label1[0], 2, 0);
    lan->addWidget(txtNick, 2, 1);
    lan->addWidget(Label1[1], 3, 0);
    lan->addWidget(txtPort, 3, 1);
    lan->addWidget(OptSignedOnly, 4, 0, 1, 2);
    lan->addWidget(LblFingerprint, 5, 0, 1, 2);

    std::tie(cmdSave, cmdCancel) = NewDialogButtons(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame2);
    layout->addWidget(Frame1);
    FrameExtra = new ExtraAddressesGroup(this);
    layout->addWidget(FrameExtra);
    FrameBroker = new BrokerOptions(this);
    layout->addWidget(FrameBroker);
    layout->addLayout(buttons);

    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    LoadLANOpt();
    LoadAutoRun();
    using namespace SettingsKeys;
    for (const auto& [control, key] : {std::pair<QWidget*, QString>{OptSend, optSend},
                                       {OptReceive, optReceive},
                                       {txtNick, nick},
                                       {txtPort, port}})
        ShowOfficeLock(control, lanSection, key);
}

// A stored value that does not convert shows its default and is logged.
void FrmLANOpt::LoadLANOpt()
{
    const LanSettingsValues stored = ReadLANSettings(QStringLiteral("LANOpt Load"));
    OptSend->setChecked(stored.send);
    OptReceive->setChecked(stored.receive);
    txtNick->setText(stored.nick);
    txtPort->setText(QString::number(stored.port));
    OptSignedOnly->setChecked(stored.trust == LanTrust::Signed);
}

void FrmLANOpt::LoadAutoRun()
{
    AutoRunState = AutoStart::program(AutoRunEntry::entry) == MonitorProgram() ? 1 : 0;
    Opt_AutoRun->setChecked(AutoRunState == 1);
    OptHolidays->setChecked(IsraeliHolidaysOff());
}

// An entry that points elsewhere is replaced; clearing removes whatever entry there is.
bool FrmLANOpt::SaveAutoRun()
{
    return trapped(QStringLiteral("Error Saving Autorun"), [this] {
        if (Opt_AutoRun->isChecked())
            AutoStart::set(AutoRunEntry::entry, MonitorProgram(), AutoRunEntry::icon);
        else
            AutoStart::remove(AutoRunEntry::entry);
    });
}

// The nickname is the author name of every reminder saved here, so it must
// fit the author field whether the LAN is used or not; the rest matters only
// when sending or receiving is on.
QLineEdit* FrmLANOpt::refusedControl(QString* why) const
{
    if (txtNick->text().size() > kAuthorWidth) {
        *why = QStringLiteral("הכינוי ברשת ארוך מדי: עד %1 תווים").arg(kAuthorWidth);
        return txtNick;
    }
    if (QLineEdit* refused = FrameBroker->refusedControl(why))
        return refused;
    if (!OptSend->isChecked() && !OptReceive->isChecked())
        return nullptr;
    if (txtNick->text().isEmpty()) {
        *why = QStringLiteral("יש להגדיר כינוי ברשת");
        return txtNick;
    }
    try {
        textToPort(txtPort->text());
    } catch (const std::exception&) {
        *why = QStringLiteral("יש להגדיר מספר פורט");
        return txtPort;
    }
    return nullptr;
}

void FrmLANOpt::SaveLANSettings()
{
    if (!WriteLANSettings(OptSend->isChecked(), OptReceive->isChecked(), txtNick->text(),
                          txtPort->text()) ||
        !WriteLanTrust(OptSignedOnly->isChecked() ? LanTrust::Signed : LanTrust::Mixed) ||
        !FrameExtra->save())
        throw Failure(QStringLiteral("the settings file was not written"));
}

// False when the settings were refused.
bool FrmLANOpt::SaveSettings()
{
    QString why;
    if (QLineEdit* refused = refusedControl(&why)) {
        WriteLog(QStringLiteral("Save Settings: ") + why, LogError);
        Prompt::message(this, why, appTitle(), Prompt::Buttons::Ok, Prompt::Icon::Information);
        refused->setFocus();
        refused->selectAll();
        return false;
    }
    if (!FrameExtra->check())
        return false;
    trapped(QStringLiteral("Save Settings"), [this] {
        SaveLANSettings();
        if (Opt_AutoRun->isChecked() != (AutoRunState == 1))
            SaveAutoRun();
        if (OptHolidays->isChecked() != IsraeliHolidaysOff())
            SetIsraeliHolidaysOff(OptHolidays->isChecked());
        if (FrameBroker->save()) { // Tolvane connects anew
            RestartMonitor();
            m_restartedMonitor = true;
        }
    });
    return true;
}

void FrmLANOpt::cmdSave_Click()
{
    if (SaveSettings())
        accept();
}

void FrmLANOpt::keyPressEvent(QKeyEvent* event)
{
    if (!handleDialogKey(event, cmdSave, cmdCancel))
        QDialog::keyPressEvent(event);
}

#include "moc_FrmLANOpt.cpp"
