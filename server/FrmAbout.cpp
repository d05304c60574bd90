#include "server/FrmAbout.h"

#include "platform/ui/Named.h"
#include "server/AboutLogo.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

FrmAbout* g_about = nullptr;

const QString kMakerEmail = QStringLiteral("support@veltrum.example");
const QString kMakerWebsite = QStringLiteral("https://www.veltrum.example/");

QLabel* makeLink(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = named(new QLabel(text, parent), name);
    label->setCursor(Qt::PointingHandCursor);
    QFont f = label->font();
    f.setUnderline(true);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: #0645ad"));
    return label;
}

} // namespace

FrmAbout::FrmAbout(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setLayoutDirection(Qt::RightToLeft);
    setWindowTitle(QStringLiteral("אודות ולטרום"));

    m_logo = named(new QLabel(this), QStringLiteral("Logo"));
    m_logo->setPixmap(aboutLogoPixmap(64));
    m_logo->setCursor(Qt::PointingHandCursor);
    QLabel* title =
        named(new QLabel(QStringLiteral("תזכורון ולטרום"), this), QStringLiteral("Label2"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    title->setFont(big);
    QLabel* version =
        named(new QLabel(QStringLiteral("גרסה 2.12"), this), QStringLiteral("Label3"));
    QLabel* notice = named(
        new QLabel(QStringLiteral("תוכנה זו מוגנת בזכויות יוצרים. כל הזכויות שמורות ליוצר."), this),
        QStringLiteral("Label1"));
    notice->setWordWrap(true);
    m_email = makeLink(this, QStringLiteral("LEmail"), kMakerEmail);
    m_website = makeLink(this, QStringLiteral("LWebsite"), kMakerWebsite);
    auto* ok = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmd_Ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    // A closed box is deleted later; the next request must build a new one.
    connect(this, &QDialog::finished, this, [this] {
        if (g_about == this)
            g_about = nullptr;
    });

    for (QLabel* link : {m_logo, m_email, m_website})
        link->installEventFilter(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_logo, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1);
    grid->addWidget(version, 1, 1);
    grid->addWidget(notice, 2, 1);
    grid->addWidget(m_email, 3, 1);
    grid->addWidget(m_website, 4, 1);
    grid->addWidget(ok, 5, 0, 1, 2, Qt::AlignCenter);
}

FrmAbout::~FrmAbout()
{
    if (g_about == this)
        g_about = nullptr;
}

FrmAbout* FrmAbout::instance()
{
    return g_about;
}

QUrl FrmAbout::mailUrl()
{
    return QUrl(QStringLiteral("mailto:") + kMakerEmail);
}

QUrl FrmAbout::webUrl()
{
    return QUrl(kMakerWebsite);
}

void FrmAbout::showBox(QWidget* owner)
{
    try {
        if (!g_about)
            g_about = new FrmAbout(owner);
        g_about->show();
        g_about->raise();
        g_about->activateWindow();
    } catch (const std::exception&) {
        delete g_about;
    }
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_email) {
            QDesktopServices::openUrl(mailUrl());
            return true;
        }
        if (watched == m_logo || watched == m_website) {
            QDesktopServices::openUrl(webUrl());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
