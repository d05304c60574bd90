#include "manager/RFind.h"

#include "manager/RMain.h"
#include "platform/ui/Named.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A drop-down list whose entries carry their item codes 0, 1, ...; the first is selected.
QComboBox* codeList(QWidget* parent, const QString& name, const QStringList& entries)
{
    auto* list = named(new QComboBox(parent), name);
    for (int code = 0; code < entries.size(); ++code)
        list->addItem(entries[code], code);
    list->setCurrentIndex(0);
    return list;
}

} // namespace

RFind::RFind(RMain* owner) : QDialog(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("RFind"));
    setWindowTitle(QStringLiteral("חיפוש"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowModality(Qt::WindowModal); // the alerts stay usable

    SearchText = named(new QLineEdit(this), QStringLiteral("SearchText"));
    SearchIn = codeList(this, QStringLiteral("SearchIn"),
                        {QStringLiteral("כותרת"), QStringLiteral("פרטים")});
    SearchBy = codeList(
        this, QStringLiteral("SearchBy"),
        {QStringLiteral("תחילת שדה"), QStringLiteral("חלק כלשהו בשדה"), QStringLiteral("שדה שלם")});
    LStatus = named(new QLabel(this), QStringLiteral("LStatus"));
    // Enter in the text searches: from the first for a new text, on for the same one.
    connect(SearchText, &QLineEdit::returnPressed, this,
            [this] { cmdFind_Click(SearchText->text() == m_searched ? 1 : 0); });

    auto* grid = new QGridLayout(this);
    const std::pair<int, QString> labels[] = {{0, QStringLiteral("חפש את")},
                                              {2, QStringLiteral("חפש בתוך")},
                                              {1, QStringLiteral("חפש לפי")},
                                              {3, QStringLiteral("סטטוס")}};
    QWidget* fields[] = {SearchText, SearchIn, SearchBy, LStatus};
    for (int row = 0; row < 4; ++row) {
        const auto& [index, caption] = labels[row];
        grid->addWidget(named(new QLabel(caption, this), QStringLiteral("Label1_%1").arg(index)),
                        row, 0);
        grid->addWidget(fields[row], row, 1, 1, 3);
    }
    const QString captions[] = {QStringLiteral("חפש את הראשון"), QStringLiteral("חפש את הבא")};
    for (int index = 0; index < 2; ++index) {
        auto* button =
            named(new QPushButton(captions[index], this), QStringLiteral("cmdFind_%1").arg(index));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, index] { cmdFind_Click(index); });
        grid->addWidget(button, 4, 1 + index);
    }
    auto* cmdCancel =
        named(new QPushButton(QStringLiteral("ביטול"), this), QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    grid->addWidget(cmdCancel, 4, 3);
}

void RFind::cmdFind_Click(int Index)
{
    m_searched = SearchText->text();
    LStatus->setText(m_owner->MyFind(Index == 0, SearchText->text(),
                                     short(SearchIn->currentData().toInt()),
                                     short(SearchBy->currentData().toInt())));
}

// Escape (QDialog's own) and F12 close the dialog.
void RFind::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F12)
        reject();
    else
        QDialog::keyPressEvent(event);
}

#include "moc_RFind.cpp"
