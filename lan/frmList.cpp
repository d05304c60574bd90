#include "lan/frmList.h"

#include "common/Log.h"
#include "common/Trapped.h"
#include "lan/ColleaguesSeen.h"
#include "lan/LanFormat.h"
#include "lan/LanSend.h"
#include "lan/SenderTrust.h"
#include "platform/Failure.h"
#include "platform/Throttle.h"
#include "platform/ui/DialogKeys.h"
#include "platform/ui/Named.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"
#include "trust/Fingerprint.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <tuple>

namespace {

// How long the window waits for "IAM" answers to its "WHL" before it lists
// them; answers that come later are added as they come.
constexpr int kAnswerWaitMs = 250;
// Nobody answered within this time: the window says so and why that may be.
constexpr int kSilenceMs = 1000;
// How often the window looks for answers that came meanwhile.
constexpr int kAnswerLookMs = 100;

// The lists the user works in turn pale yellow while they have the focus.
QListWidget* listBox(const QString& name, QWidget* parent)
{
    auto* list = named(new QListWidget(parent), name);
    list->setStyleSheet(QStringLiteral("QListWidget { background: white; }"
                                       "QListWidget:focus { background: rgb(255, 255, 192); }"));
    return list;
}

void showNames(QListWidget* list, QStringList names)
{
    SortNames(names);
    list->clear();
    list->addItems(names);
}

} // namespace

void SortNames(QStringList& names)
{
    std::sort(names.begin(), names.end()); // QString's order is the ordinal one
}

frmList::frmList(const QString& sentTo, qint32 reminderId, QWidget* parent)
    : QDialog(parent), m_reminderId(reminderId)
{
    setObjectName(QStringLiteral("frmList"));
    setWindowTitle(QStringLiteral("רשימת נמענים"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowModality(Qt::WindowModal); // the alerts stay usable

    Label1 = named(new QLabel(QStringLiteral("זמין ברשת"), this), QStringLiteral("Label1"));
    List1 = listBox(QStringLiteral("List1"), this);
    Label2 = named(new QLabel(QStringLiteral("רשימת נמענים"), this), QStringLiteral("Label2"));
    List2 = listBox(QStringLiteral("List2"), this);
    Label3 = named(new QLabel(QStringLiteral("התקבל ע\"י"), this), QStringLiteral("Label3"));
    List3 = named(new QListWidget(this), QStringLiteral("List3"));
    cmdLeft = named(new QPushButton(QStringLiteral("<"), this), QStringLiteral("cmdLeft"));
    cmdLeftAll = named(new QPushButton(QStringLiteral("<<"), this), QStringLiteral("cmdLeftAll"));
    cmdRight = named(new QPushButton(QStringLiteral(">"), this), QStringLiteral("cmdRight"));
    cmdRightAll = named(new QPushButton(QStringLiteral(">>"), this), QStringLiteral("cmdRightAll"));
    // The arrows point the way the names go (available at the right, recipients
    // at the left): drawn left to right, no right-to-left rule may mirror them.
    for (QPushButton* arrow : {cmdLeft, cmdLeftAll, cmdRight, cmdRightAll})
        arrow->setLayoutDirection(Qt::LeftToRight);
    // What each arrow does, for the tooltip and for a screen reader, which
    // would otherwise read out the arrow's characters.
    for (const auto& [arrow, action] :
         {std::pair{cmdLeft, QStringLiteral("הוספת המשתמש שנבחר לנמענים")},
          std::pair{cmdLeftAll, QStringLiteral("הוספת כל המשתמשים הזמינים לנמענים")},
          std::pair{cmdRight, QStringLiteral("הסרת הנמען שנבחר")},
          std::pair{cmdRightAll, QStringLiteral("הסרת כל הנמענים")}}) {
        arrow->setToolTip(action);
        arrow->setAccessibleName(action);
    }
    cmdRefresh = named(new QPushButton(QStringLiteral("רענן"), this), QStringLiteral("cmdRefresh"));
    cmdRefresh->setToolTip(QStringLiteral("לשאול שוב מי זמין ברשת"));
    LblNoAnswer = named(new QLabel(this), QStringLiteral("LblNoAnswer"));
    LblNoAnswer->setWordWrap(true);
    LblNoAnswer->hide();
    LblColleague = named(new QLabel(this), QStringLiteral("LblColleague"));
    LblColleague->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LblColleague->setWordWrap(true);
    cmdConfirm = named(new QPushButton(QStringLiteral("אשר"), this), QStringLiteral("cmdConfirm"));
    cmdConfirm->setToolTip(QStringLiteral("טביעת האצבע זהה לזו שהעמית הקריא"));
    cmdForget = named(new QPushButton(QStringLiteral("שכח"), this), QStringLiteral("cmdForget"));
    cmdForget->setToolTip(QStringLiteral("לעמית מפתח חדש: ההודעה החתומה הבאה שלו תישמר"));
    std::tie(cmdSave, cmdCancel) = NewDialogButtons(this);
    Timer1 = named(new QTimer(this), QStringLiteral("Timer1"));
    Timer1->setInterval(kAnswerWaitMs);
    Timer1->setSingleShot(true);
    m_silence = named(new QTimer(this), QStringLiteral("TimerSilence"));
    m_silence->setInterval(kSilenceMs);
    m_silence->setSingleShot(true);
    m_answerLook = new QTimer(this);
    m_answerLook->setInterval(kAnswerLookMs);

    // Right to left: the available users, the arrows, the recipients, the acknowledgements.
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(List1, 1, 0, 5, 1);
    for (int row = 0; QPushButton * arrow : {cmdLeft, cmdLeftAll, cmdRight, cmdRightAll})
        grid->addWidget(arrow, 1 + row++, 1);
    grid->addWidget(Label2, 0, 2);
    grid->addWidget(List2, 1, 2, 5, 1);
    grid->addWidget(Label3, 0, 3);
    grid->addWidget(List3, 1, 3, 5, 1);
    grid->addWidget(cmdRefresh, 6, 0);
    grid->addWidget(cmdSave, 6, 2);
    grid->addWidget(cmdCancel, 6, 3);
    grid->addWidget(LblNoAnswer, 7, 0, 1, 4);
    grid->addWidget(LblColleague, 8, 0, 1, 2);
    grid->addWidget(cmdConfirm, 8, 2);
    grid->addWidget(cmdForget, 8, 3);

    // Acknowledgements that arrive while the window is open show as they are stored.
    ReminderChanges::watchWhile(this);
    auto* receipts = new Throttle(
        ReminderChanges::kWatchMs, [this] { FillListFromText(GetRecBy(), 3); }, this);
    connect(ReminderChanges::instance(), &ReminderChanges::changed, receipts, [this, receipts] {
        if (m_reminderId > 0)
            receipts->request();
    });

    connect(Timer1, &QTimer::timeout, this, [this] {
        FillWhoListen();
        m_answerLook->start();
    });
    connect(m_answerLook, &QTimer::timeout, this, [this] {
        if (m_answersShown != Listeners.size())
            FillWhoListen();
    });
    connect(m_silence, &QTimer::timeout, this,
            [this] { LblNoAnswer->setVisible(Listeners.isEmpty()); });
    connect(List1, &QListWidget::currentTextChanged, this, [this] { showColleague(); });
    connect(cmdConfirm, &QPushButton::clicked, this, [this] { changeColleague(true); });
    connect(cmdForget, &QPushButton::clicked, this, [this] { changeColleague(false); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { cmdRefresh_Click(); });
    connect(cmdLeft, &QPushButton::clicked, this, [this] { cmdLeft_Click(); });
    connect(cmdLeftAll, &QPushButton::clicked, this, [this] { cmdLeftAll_Click(); });
    connect(cmdRight, &QPushButton::clicked, this, [this] { cmdRight_Click(); });
    connect(cmdRightAll, &QPushButton::clicked, List2, &QListWidget::clear);
    connect(cmdSave, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load(sentTo);
}

std::optional<QString> frmList::choose(QWidget* owner, const QString& sentTo, qint32 reminderId)
{
    frmList window(sentTo, reminderId, owner);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.GetListText();
}

void frmList::Form_Load(const QString& sentTo)
{
    FillWhoListen();
    if (Listeners.isEmpty())
        AskWhoListens();
    else
        m_answerLook->start();
    FillListFromText(sentTo, 2);
    FillListFromText(GetRecBy(), 3);
    showColleague();
    LblNoAnswer->setText(
        QStringLiteral("אף אחד לא ענה תוך שנייה. ייתכן שהעמיתים מקשיבים בפורט אחר (כאן: %1), "
                       "שהקבלה ברשת כבויה אצלם, או שחומת אש חוסמת את הפורט")
            .arg(LANPort));
}

void frmList::AskWhoListens()
{
    m_answerLook->stop();
    LblNoAnswer->hide();
    SendWHL();
    Timer1->start();
    m_silence->start();
}

// Forgets who answered before and who was seen (a colleague may have renamed
// himself or left) and asks again; only the answers show, as they come.
void frmList::cmdRefresh_Click()
{
    Listeners.clear();
    m_storedToo = false;
    FillWhoListen();
    AskWhoListens();
}

QString frmList::GetRecBy() const
{
    QString receivedBy;
    trapped(QStringLiteral("GetRecBy"), [&] {
        auto db = OpenReminderDb();
        Snapshot rs(*db, Queries::byId(m_reminderId));
        if (rs.hasCurrent())
            receivedBy = FieldText(fieldValue(rs, ReminderField::ReceivedBy));
    });
    return receivedBy;
}

// A colleague whose new key was refused is listed too, so that it can be forgotten.
void frmList::FillWhoListen()
{
    m_answersShown = Listeners.size();
    QStringList names = m_storedToo ? ColleaguesKnown() : Listeners;
    for (const QString& refused : refusedNicknames())
        if (!names.contains(refused))
            names << refused;
    showNames(List1, names);
}

void frmList::FillListFromText(const QString& text, short number)
{
    QStringList names;
    StrTok(text, names, kNameEnd);
    showNames(number == 2 ? List2 : List3, names);
}

QString frmList::GetListText() const
{
    QString text;
    for (int i = 0; i < List2->count(); ++i)
        text += List2->item(i)->text() + kNameEnd;
    return text;
}

void frmList::cmdLeft_Click()
{
    const QListWidgetItem* chosen = List1->currentItem();
    if (!chosen || chosen->text().isEmpty())
        return;
    QString text = GetListText();
    if (!InNameList(chosen->text(), text))
        text += chosen->text() + kNameEnd;
    FillListFromText(text, 2);
}

void frmList::cmdLeftAll_Click()
{
    List2->clear();
    for (int i = 0; i < List1->count(); ++i)
        List2->addItem(List1->item(i)->text());
}

void frmList::cmdRight_Click()
{
    if (QListWidgetItem* chosen = List2->currentItem())
        delete chosen;
}

// A fingerprint stays left to right inside the right-to-left window.
QString frmList::colleagueText(const QString& name)
{
    const auto ltr = [](const PublicKey& key) {
        return QChar(0x2066) + keyFingerprint(key) + QChar(0x2069);
    };
    const ColleagueKeys::Colleague* colleague = KnownColleagues().find(name);
    QString text = name + QStringLiteral(": ") + colleagueState(name);
    if (!colleague)
        return text;
    if (const std::optional<PublicKey> refused = refusedKeyOf(name))
        return text + QStringLiteral(". טביעת האצבע שנשמרה %1, של המפתח שנדחה %2. אם העמית "
                                     "קיבל מפתח חדש וטביעתו זהה לזו שהוא מקריא, בחר \"שכח\"")
                          .arg(ltr(colleague->key), ltr(*refused));
    return text + QStringLiteral(", טביעת אצבע ") + ltr(colleague->key);
}

void frmList::showColleague()
{
    const QListWidgetItem* chosen = List1->currentItem();
    const QString name = chosen ? chosen->text() : QString();
    const ColleagueKeys::Colleague* colleague = KnownColleagues().find(name);
    const QString where = name.isEmpty() ? QString() : WhereSeen(name);
    LblColleague->setText(
        name.isEmpty() ? QString()
                       : colleagueText(name) +
                             (where.isEmpty() ? QString() : QStringLiteral(", נראה ") + where));
    cmdConfirm->setEnabled(colleague && !colleague->confirmed && !refusedKeyOf(name));
    cmdForget->setEnabled(colleague != nullptr);
}

void frmList::changeColleague(bool confirm)
{
    const QListWidgetItem* chosen = List1->currentItem();
    if (!chosen)
        return;
    if (confirm) {
        if (KnownColleagues().confirm(chosen->text()))
            saveColleagues();
    } else {
        forgetColleague(chosen->text());
    }
    showColleague();
}

void frmList::keyPressEvent(QKeyEvent* event)
{
    if (!handleDialogKey(event, cmdSave, cmdCancel))
        QDialog::keyPressEvent(event);
}

#include "moc_frmList.cpp"
