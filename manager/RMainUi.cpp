// Building the manager window's controls, menus and signal connections.
#include "manager/RMain.h"
#include "manager/ReceiptsBar.h"

#include "calendar/HebrewDateText.h"
#include "manager/ButtonIcons.h"
#include "manager/DatePickers.h"
#include "manager/ListTable.h"
#include "manager/OccurrencePreview.h"
#include "manager/ReminderListModel.h"
#include "platform/ui/Named.h"
#include "store/Reminder.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimeEdit>
#include <QToolButton>

#include <tuple>

namespace {

// Sizes are given in twips (1/1440 inch); 15 twips make a pixel at 96 dpi.
constexpr int twips(int t)
{
    return t / 15;
}

QToolButton* pictureButton(QWidget* parent, const QString& name, ButtonPicture picture,
                           const QString& toolTip = QString())
{
    auto* button = named(new QToolButton(parent), name);
    button->setIcon(buttonIcon(picture));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(false);
    if (!toolTip.isEmpty())
        button->setToolTip(toolTip);
    button->setAccessibleName(toolTip); // a screen reader names the picture
    return button;
}

QLabel* fieldLabel(QWidget* parent, const QString& name, const QString& caption)
{
    auto* label = named(new QLabel(caption, parent), name);
    label->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    return label;
}

// Option buttons <name>_0, <name>_1, ... under parent, one exclusive group.
template <std::size_t N>
void optionButtons(QRadioButton* (&buttons)[N], QWidget* parent, const QString& name,
                   const QString (&captions)[N])
{
    auto* group = new QButtonGroup(parent);
    for (int i = 0; i < int(N); ++i) {
        buttons[i] =
            named(new QRadioButton(captions[i], parent), QStringLiteral("%1_%2").arg(name).arg(i));
        group->addButton(buttons[i], i);
    }
}

void setBase(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
}

} // namespace

void RMain::buildUi()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(buildListArea(), 3);
    layout->addWidget(buildStatusStrip());
    layout->addWidget(buildEditor(), 1);
    layout->addWidget(buildButtonRow());
    setCentralWidget(central);
    buildMenus();
    connectSignals();
    resize(sizeHint().expandedTo(QSize(twips(11000), twips(9600))));
}

QWidget* RMain::buildListArea()
{
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);

    m_model = new ReminderListModel(this);
    List1 = new ListTable(m_model, area);
    List1->setMinimumSize(twips(6000), 8 * List1->verticalHeader()->defaultSectionSize());
    layout->addWidget(List1, 1);
    return area;
}

// Under the list: the move buttons around the row counter, then the status
// strip LStatus with the show filter on its left part.
QWidget* RMain::buildStatusStrip()
{
    auto* strip = new QWidget(this);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    const ButtonPicture pictures[4] = {ButtonPicture::Last, ButtonPicture::Next,
                                       ButtonPicture::Previous, ButtonPicture::First};
    const QString moveNames[4] = {QStringLiteral("לתזכורת האחרונה"), QStringLiteral("לתזכורת הבאה"),
                                  QStringLiteral("לתזכורת הקודמת"),
                                  QStringLiteral("לתזכורת הראשונה")};
    for (int i = 0; i < 4; ++i) {
        cmdMoveRS[i] =
            pictureButton(strip, QStringLiteral("cmdMoveRS_%1").arg(i), pictures[i], moveNames[i]);
        cmdMoveRS[i]->setIconSize(QSize(16, 16));
    }
    LMoveRS = named(new QLabel(strip), QStringLiteral("LMoveRS"));
    LMoveRS->setMinimumWidth(twips(1800));
    LMoveRS->setAlignment(Qt::AlignCenter);
    LMoveRS->setFrameShape(QFrame::StyledPanel);
    // Right to left: first and previous right of the counter, next and last left of it.
    layout->addWidget(cmdMoveRS[3]);
    layout->addWidget(cmdMoveRS[2]);
    layout->addWidget(LMoveRS);
    layout->addWidget(cmdMoveRS[1]);
    layout->addWidget(cmdMoveRS[0]);

    // The status text and, on its left, the show filter, side by side so
    // that a long text is cut before the filter rather than drawn under it.
    auto* statusStrip = named(new QFrame(strip), QStringLiteral("StatusStrip"));
    statusStrip->setAutoFillBackground(true);
    statusStrip->setFrameShape(QFrame::StyledPanel);
    auto* statusLayout = new QHBoxLayout(statusStrip);
    statusLayout->setContentsMargins(2, 0, 2, 0);
    LStatus = named(new QLabel(statusStrip), QStringLiteral("LStatus"));
    LStatus->setAutoFillBackground(true);
    LStatus->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    LStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    LStatus->setMinimumHeight(LStatus->fontMetrics().height() + 4);
    statusLayout->addWidget(LStatus, 1);

    Frame2 = named(new QFrame(statusStrip), QStringLiteral("Frame2"));
    Frame2->setAutoFillBackground(true);
    auto* filterLayout = new QHBoxLayout(Frame2);
    filterLayout->setContentsMargins(0, 0, 0, 0);
    OptShowLabel =
        named(new QLabel(QStringLiteral("הצג ברשימה"), Frame2), QStringLiteral("OptShowLabel"));
    filterLayout->addWidget(OptShowLabel);
    optionButtons(OptShow, Frame2, QStringLiteral("OptShow"),
                  {QStringLiteral("פעיל"), QStringLiteral("לא פעיל"), QStringLiteral("הכל")});
    for (QRadioButton* option : OptShow)
        filterLayout->addWidget(option);
    OptShow[2]->setChecked(true);
    statusLayout->addWidget(Frame2);
    layout->addWidget(statusStrip, 1);
    return strip;
}

QWidget* RMain::buildEditor()
{
    auto* editor = new QWidget(this);
    auto* grid = new QGridLayout(editor);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->setHorizontalSpacing(8);

    CCaption = named(new QLineEdit(editor), QStringLiteral("CCaption"));
    CCaption->setMaxLength(kCaptionWidth);
    setBase(CCaption, Qt::white);
    grid->addWidget(fieldLabel(editor, QStringLiteral("Label1_0"), QStringLiteral("כותרת:")), 0, 0);
    grid->addWidget(CCaption, 0, 1, 1, 3);

    std::tie(CDate1, CDate2) =
        NewDatePickers(editor, QStringLiteral("CDate1"), QStringLiteral("CDate2"));
    grid->addWidget(fieldLabel(editor, QStringLiteral("Label1_1"), QStringLiteral("תאריך יעד:")), 1,
                    0);
    grid->addWidget(CDate1, 1, 1);
    grid->addWidget(CDate2, 1, 2);
    LblHebrewDate = named(new QLabel(editor), QStringLiteral("LblHebrewDate"));
    grid->addWidget(LblHebrewDate, 1, 3);

    CImportance = named(new QComboBox(editor), QStringLiteral("CImportance"));
    for (short code = 0; code <= 2; ++code)
        CImportance->addItem(ImportanceName(code), code);
    grid->addWidget(fieldLabel(editor, QStringLiteral("Label1_2"), QStringLiteral("חשיבות:")), 2,
                    0);
    grid->addWidget(CImportance, 2, 1);

    CEventType = named(new QComboBox(editor), QStringLiteral("CEventType"));
    for (short code : kEventTypeCodes)
        CEventType->addItem(EventTypeName(code), code);
    cmdAdvOpt =
        named(new QPushButton(QStringLiteral("מתקדם"), editor), QStringLiteral("cmdAdvOpt"));
    cmdAdvOpt->setToolTip(QStringLiteral("אפשרויות מתקדמות"));
    grid->addWidget(fieldLabel(editor, QStringLiteral("LabelType_3"), QStringLiteral("סוג מופע:")),
                    3, 0);
    grid->addWidget(CEventType, 3, 1);
    grid->addWidget(cmdAdvOpt, 3, 2, Qt::AlignRight);
    LblOccurrences = NewOccurrencesLabel(editor);
    grid->addWidget(LblOccurrences, 4, 1, 1, 3);

    Frame1 = named(new QFrame(editor), QStringLiteral("Frame1"));
    auto* frameLayout = new QHBoxLayout(Frame1);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    Shape1 = named(new QFrame(Frame1), QStringLiteral("Shape1"));
    Shape1->setAutoFillBackground(true);
    auto* shapeLayout = new QHBoxLayout(Shape1);
    shapeLayout->setContentsMargins(4, 1, 4, 1);
    optionButtons(OptActive, Shape1, QStringLiteral("OptActive"),
                  {QStringLiteral("כן"), QStringLiteral("לא")});
    for (QRadioButton* option : OptActive) {
        option->setAutoFillBackground(true);
        shapeLayout->addWidget(option);
    }
    frameLayout->addWidget(Shape1);
    frameLayout->addStretch(1);
    grid->addWidget(fieldLabel(editor, QStringLiteral("Label1_5"), QStringLiteral("פעיל:")), 5, 0);
    grid->addWidget(Frame1, 5, 1, 1, 3);

    CDetail = named(new QPlainTextEdit(editor), QStringLiteral("CDetail"));
    CDetail->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    CDetail->setTabChangesFocus(true); // Tab moves on, as in every other field
    setBase(CDetail, Qt::white);
    grid->addWidget(fieldLabel(editor, QStringLiteral("Label1_4"), QStringLiteral("פרטים:")), 6, 0,
                    Qt::AlignTop | Qt::AlignLeading);
    grid->addWidget(CDetail, 6, 1, 1, 3);

    Frame3 = named(new QFrame(editor), QStringLiteral("Frame3"));
    auto* sendLayout = new QHBoxLayout(Frame3);
    sendLayout->setContentsMargins(0, 0, 0, 0);
    optionButtons(OptSend, Frame3, QStringLiteral("OptSend"),
                  {QStringLiteral("שלח לכולם"), QStringLiteral("רשימת נמענים")});
    OptSend[0]->setChecked(true);
    LANSend = named(new QCheckBox(QStringLiteral("שלח ברשת"), Frame3), QStringLiteral("LANSend"));
    cmdOptList =
        named(new QPushButton(QStringLiteral("הצג רשימה"), Frame3), QStringLiteral("cmdOptList"));
    cmdOptList->setToolTip(QStringLiteral("בחירת הנמענים, ומי אישר שקיבל"));
    sendLayout->addWidget(LANSend);
    sendLayout->addWidget(OptSend[0]);
    sendLayout->addWidget(OptSend[1]);
    sendLayout->addStretch(1);
    sendLayout->addWidget(cmdOptList);
    grid->addWidget(Frame3, 7, 1, 1, 3);
    m_receipts = new ReceiptsBar(editor);
    grid->addWidget(m_receipts, 8, 1, 1, 3);

    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1); // the details take the height the window gains
    return editor;
}

QWidget* RMain::buildButtonRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 6, 0, 0);
    cmdNew = named(new QPushButton(QStringLiteral("חדש"), row), QStringLiteral("cmdNew"));
    cmdSave = named(new QPushButton(QStringLiteral("שמירה (F9)"), row), QStringLiteral("cmdSave"));
    cmdCancel =
        named(new QPushButton(QStringLiteral("ביטול (F12)"), row), QStringLiteral("cmdCancel"));
    for (QPushButton* button : {cmdNew, cmdSave, cmdCancel}) {
        button->setMinimumWidth(twips(1350));
        button->setAutoDefault(false);
        layout->addWidget(button);
    }
    cmdSave->hide();
    cmdCancel->hide();
    layout->addStretch(1);
    cmdRefresh = pictureButton(row, QStringLiteral("cmdRefresh"), ButtonPicture::Refresh,
                               QStringLiteral("רענן רשימה"));
    cmdFind =
        pictureButton(row, QStringLiteral("cmdFind"), ButtonPicture::Find, QStringLiteral("חיפוש"));
    cmdDeleteAll = pictureButton(row, QStringLiteral("cmdDeleteAll"), ButtonPicture::DeleteAll,
                                 QStringLiteral("מחיקת כל התזכורות שברשימה"));
    cmdDelete = pictureButton(row, QStringLiteral("cmdDelete"), ButtonPicture::Delete,
                              QStringLiteral("מחיקת תזכורת נוכחית"));
    cmdDefinitions = pictureButton(row, QStringLiteral("cmdDefinitions"),
                                   ButtonPicture::Definitions, QStringLiteral("הגדרות מערכת"));
    cmdExit =
        pictureButton(row, QStringLiteral("cmdExit"), ButtonPicture::Exit, QStringLiteral("יציאה"));
    for (QToolButton* button :
         {cmdRefresh, cmdFind, cmdDeleteAll, cmdDelete, cmdDefinitions, cmdExit})
        layout->addWidget(button);
    return row;
}

void RMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto menu = [&](const QString& caption, const QString& name) {
        QMenu* m = named(bar->addMenu(caption), name);
        named(m->menuAction(), name);
        return m;
    };
    auto item = [this](QMenu* m, const QString& caption, const QString& name, void (RMain::*slot)(),
                       const QKeySequence& keys = {}) {
        QAction* action = named(m->addAction(caption), name);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };

    QMenu* file = menu(QStringLiteral("&קובץ"), QStringLiteral("mnu_File"));
    item(file, QStringLiteral("הדפס תזכורת נוכחית"), QStringLiteral("mnu_PrinCurrent"),
         &RMain::mnu_PrinCurrent_Click, QKeySequence::Print);
    item(file, QStringLiteral("הדפס רשימה"), QStringLiteral("mnu_PrintList"),
         &RMain::mnu_PrintList_Click);
    file->addSeparator();
    item(file, QStringLiteral("יציאה"), QStringLiteral("mnu_Exit"), &RMain::cmdExit_Click);

    QMenu* edit = menu(QStringLiteral("&עריכה"), QStringLiteral("mnu_Edit"));
    item(edit, QStringLiteral("חיפוש"), QStringLiteral("mnu_Find"), &RMain::cmdFind_Click,
         QKeySequence::Find);
    item(edit, QStringLiteral("מחק תזכורת נוכחית"), QStringLiteral("mnu_DeleteCurrent"),
         &RMain::cmdDelete_Click);
    item(edit, QStringLiteral("מחק רשימה"), QStringLiteral("mnu_DeleteList"),
         &RMain::cmdDeleteAll_Click);
    item(edit, QStringLiteral("העתק רשימה"), QStringLiteral("mnu_CopyList"),
         &RMain::mnu_CopyList_Click);
    edit->addSeparator();
    item(edit, QStringLiteral("עדכן רשימה (F5)"), QStringLiteral("mnu_Refresh"),
         &RMain::mnu_Refresh_Click);

    QMenu* tools = menu(QStringLiteral("&כלים"), QStringLiteral("mnu_Tools"));
    item(tools, QStringLiteral("הגדרות מערכת"), QStringLiteral("mnu_Options"),
         &RMain::cmdDefinitions_Click);

    QMenu* help = menu(QStringLiteral("&עזרה"), QStringLiteral("mnu_Help"));
    item(help, QStringLiteral("אודות"), QStringLiteral("mnu_About"), &RMain::mnu_About_Click);
}

void RMain::connectSignals()
{
    connect(List1, &ListTable::headerClicked, this, &RMain::ListLabel_Click);
    for (int i = 0; i < 3; ++i)
        connect(OptShow[i], &QRadioButton::clicked, this, [this, i] { OptShow_Click(i); });
    connect(List1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_repositioning && current.isValid())
                    List1_Click(current.row());
            });
    for (int i = 0; i < 4; ++i)
        connect(cmdMoveRS[i], &QToolButton::clicked, this, [this, i] { cmdMoveRS_Click(i); });
    connect(cmdRefresh, &QToolButton::clicked, this, &RMain::cmdRefresh_Click);

    connectEditorChanges();
    connect(cmdAdvOpt, &QPushButton::clicked, this, &RMain::ShowAdvOpt);
    connect(cmdNew, &QPushButton::clicked, this, &RMain::cmdNew_Click);
    connect(cmdSave, &QPushButton::clicked, this, &RMain::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &RMain::cmdCancel_Click);
    connect(cmdExit, &QToolButton::clicked, this, &RMain::cmdExit_Click);
    connect(cmdFind, &QToolButton::clicked, this, &RMain::cmdFind_Click);
    connect(cmdDelete, &QToolButton::clicked, this, &RMain::cmdDelete_Click);
    connect(cmdDeleteAll, &QToolButton::clicked, this, &RMain::cmdDeleteAll_Click);
    connect(cmdDefinitions, &QToolButton::clicked, this, &RMain::cmdDefinitions_Click);
    connect(cmdOptList, &QPushButton::clicked, this, &RMain::cmdOptList_Click);
    for (int i = 0; i < 2; ++i)
        connect(OptSend[i], &QRadioButton::clicked, this, [this, i] { OptSend_Click(i); });
}

// Every change in the editor enters edit mode; only a click on the
// active/inactive choice leaves that choice as it is.
void RMain::connectEditorChanges()
{
    auto edited = [this] { SetEditMode(false, true); };
    connect(CCaption, &QLineEdit::textChanged, this, edited);
    connect(CDetail, &QPlainTextEdit::textChanged, this, edited);
    connect(CDate1, &QDateEdit::dateChanged, this, edited);
    connect(CDate2, &QTimeEdit::timeChanged, this, edited);
    connect(CImportance, &QComboBox::activated, this, edited);
    connect(CEventType, &QComboBox::activated, this, &RMain::CEventType_Click);
    for (QRadioButton* option : OptActive)
        connect(option, &QRadioButton::clicked, this, [this] { SetEditMode(false, false); });
    connect(LANSend, &QCheckBox::clicked, this, edited);

    m_occurrences = new OccurrencePreview(LblOccurrences, [this] { return editorRule(); });
    const auto showHebrewDate = [this] {
        LblHebrewDate->setText(hebrewDateBeside(CDate1->date()));
    };
    connect(CDate1, &QDateEdit::dateChanged, this, showHebrewDate);
    showHebrewDate();
    const auto ruleChanged = [this] { m_occurrences->refresh(); };
    connect(CDate1, &QDateEdit::dateChanged, this, ruleChanged);
    connect(CDate2, &QTimeEdit::timeChanged, this, ruleChanged);
    connect(CEventType, &QComboBox::currentIndexChanged, this, ruleChanged);
}
