#include "alert/RemindForm.h"

#include "alert/DelayChoices.h"
#include "alert/RemindPictures.h"
#include "platform/ui/Named.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kMarkSize = 20;

QLineEdit* dataBox(const QString& name)
{
    auto* box = named(new QLineEdit, name);
    box->setReadOnly(true);
    box->setFont(QFont(QStringLiteral("Arial"), 10));
    return box;
}

QLabel* mark(const QString& name, const QPixmap& picture, const QString& toolTip)
{
    auto* label = named(new QLabel, name);
    label->setPixmap(picture);
    label->setToolTip(toolTip);
    label->hide();
    return label;
}

// The white band on top: importance icon and the reminder's title.
QFrame* buildHeader(RemindForm& f)
{
    auto* header = named(new QFrame, "Header");
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, Qt::white);
    header->setPalette(palette);

    f.Image1 = named(new QLabel, "Image1");
    f.Image1->setFixedSize(48, 48);
    f.LblCaption = named(new QLabel, "LblCaption");
    QFont captionFont = f.LblCaption->font();
    captionFont.setPointSize(captionFont.pointSize() + 3);
    captionFont.setBold(true);
    f.LblCaption->setFont(captionFont);
    f.LblCaption->setWordWrap(true);
    f.LblCaption->setTextFormat(Qt::PlainText);

    f.LblState = named(new QLabel, "LblState");
    QFont stateFont = f.LblState->font();
    stateFont.setBold(true);
    f.LblState->setFont(stateFont);
    f.LblState->hide();
    f.LblUnverified = named(new QLabel, "LblUnverified");
    f.LblUnverified->setWordWrap(true);
    f.LblUnverified->setTextFormat(Qt::PlainText);
    f.LblUnverified->hide();

    auto* titles = new QVBoxLayout;
    titles->addWidget(f.LblCaption);
    titles->addWidget(f.LblState);
    titles->addWidget(f.LblUnverified);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(14, 10, 14, 10);
    row->setSpacing(12);
    row->addWidget(f.Image1);
    row->addLayout(titles, 1);
    return header;
}

QGridLayout* buildDetails(RemindForm& f)
{
    static const char* const captions[] = {"תאריך יעד:", "חשיבות:", "סוג מופע:", "פרטים:"};
    auto* grid = new QGridLayout;
    grid->setContentsMargins(14, 12, 14, 6);
    grid->setHorizontalSpacing(10);
    for (int i = 0; i < 4; ++i) {
        f.Label1[i] =
            named(new QLabel(QString::fromUtf8(captions[i])), QStringLiteral("Label1_%1").arg(i));
        grid->addWidget(f.Label1[i], i, 0, i == 3 ? Qt::AlignTop : Qt::Alignment());
    }

    f.CTarget = dataBox("CTarget");
    f.ILate = mark("ILate", lateMarkPicture(kMarkSize), QStringLiteral("התזכורת מוצגת באיחור"));
    f.IPostpone = mark("IPostpone", postponeMarkPicture(kMarkSize), QString());
    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(f.CTarget, 1);
    f.LblHebrewDate = named(new QLabel, QStringLiteral("LblHebrewDate"));
    targetRow->addWidget(f.LblHebrewDate);
    targetRow->addWidget(f.ILate);
    targetRow->addWidget(f.IPostpone);
    grid->addLayout(targetRow, 0, 1);

    f.CImportance = dataBox("CImportance");
    f.CEventType = dataBox("CEventType");
    grid->addWidget(f.CImportance, 1, 1);
    grid->addWidget(f.CEventType, 2, 1);

    f.CDetail = named(new QPlainTextEdit, "CDetail");
    f.CDetail->setReadOnly(true);
    f.CDetail->setFont(QFont(QStringLiteral("Arial"), 10));
    f.CDetail->setMinimumHeight(64);
    grid->addWidget(f.CDetail, 3, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    return grid;
}

QHBoxLayout* buildActions(RemindForm& f)
{
    f.cmdDelay = named(new QPushButton(QStringLiteral("תזכיר לי בעוד")), "cmdDelay");
    f.RDelay = named(new QComboBox, "RDelay");
    addDelayChoices(f.RDelay);
    f.cmdDelete = named(new QToolButton, "cmdDelete");
    f.cmdDelete->setIcon(deleteButtonIcon(24));
    f.cmdDelete->setIconSize(QSize(24, 24));
    f.cmdDelete->setToolTip(QStringLiteral("מחיקת תזכורת נוכחית"));
    f.cmdDelete->setAccessibleName(f.cmdDelete->toolTip()); // a picture alone
    f.cmdDelete->setAutoRaise(true);
    f.cmdShowList = named(new QPushButton(QStringLiteral("פתח ברשימה")), "cmdShowList");
    f.cmdExit = named(new QPushButton(QStringLiteral("יציאה")), "cmdExit");
    f.cmdDelayAll = named(new QPushButton(QStringLiteral("דחה הכל")), "cmdDelayAll");
    f.cmdDelayAll->setToolTip(QStringLiteral("דחיית כל התזכורות הפתוחות בזמן שנבחר כאן"));
    f.cmdCloseAll = named(new QPushButton(QStringLiteral("סגור הכל")), "cmdCloseAll");
    f.cmdCloseAll->setToolTip(QStringLiteral("סגירת כל התזכורות הפתוחות (Shift+Esc)"));
    for (QPushButton* pair : {f.cmdDelayAll, f.cmdCloseAll})
        pair->hide();

    auto* row = new QHBoxLayout;
    row->setContentsMargins(14, 8, 14, 12);
    row->addWidget(f.cmdDelay);
    row->addWidget(f.RDelay);
    row->addWidget(f.cmdDelayAll);
    row->addSpacing(6);
    row->addWidget(f.cmdDelete);
    row->addStretch(1);
    row->addWidget(f.cmdShowList);
    row->addWidget(f.cmdExit);
    row->addWidget(f.cmdCloseAll);
    return row;
}

} // namespace

RemindForm buildRemindForm(QWidget* window)
{
    RemindForm f;
    auto* line = named(new QFrame, "Line1");
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* column = new QVBoxLayout(window);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader(f));
    column->addLayout(buildDetails(f), 1);
    column->addWidget(line);
    column->addLayout(buildActions(f));
    // From the first focus, the postponement, Tab goes through the other
    // buttons and ends at the trash: one Tab and Enter never delete.
    QWidget* const order[] = {f.RDelay,      f.cmdDelay,    f.cmdDelayAll, f.cmdShowList,
                              f.cmdExit,     f.cmdCloseAll, f.cmdDelete,   f.CTarget,
                              f.CImportance, f.CEventType,  f.CDetail};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return f;
}
