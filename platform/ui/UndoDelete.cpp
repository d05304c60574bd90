#include "platform/ui/UndoDelete.h"

#include "platform/ui/Named.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace {

int g_shownMs = UndoDelete::kShownMs;

struct Held
{
    QString text;
    std::function<QString()> undo;
};

class UndoNotice : public QWidget
{
public:
    UndoNotice() : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
    {
        setObjectName(QStringLiteral("UndoDelete"));
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_ShowWithoutActivating); // over the window in use
        setLayoutDirection(Qt::RightToLeft);
        setWindowTitle(QStringLiteral("ביטול מחיקה"));
        m_text = named(new QLabel(this), QStringLiteral("LblUndo"));
        m_text->setTextFormat(Qt::PlainText);
        m_undo =
            named(new QPushButton(QStringLiteral("בטל מחיקה"), this), QStringLiteral("cmdUndo"));
        auto* row = new QHBoxLayout(this);
        row->addWidget(m_text, 1);
        row->addWidget(m_undo);
        m_undo->setFocus(); // for when the notice gets the keyboard
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &QWidget::close);
        connect(m_undo, &QPushButton::clicked, this, [this] { undoAll(); });
    }

    void hold(const QString& text, std::function<QString()> undo)
    {
        m_held.prepend({text, std::move(undo)});
        if (m_held.size() > UndoDelete::kMaxHeld)
            m_held.removeLast();
        m_text->setText(m_held.size() == 1
                            ? text
                            : QStringLiteral("%1 (ועוד %2)").arg(text).arg(m_held.size() - 1));
        m_undo->setEnabled(true);
        m_timer.start(g_shownMs);
    }

    void undoAll()
    {
        QStringList failures;
        for (const Held& held : std::exchange(m_held, {}))
            if (const QString why = held.undo(); !why.isEmpty())
                failures << why;
        if (failures.isEmpty()) {
            close();
            return;
        }
        m_text->setText(QStringLiteral("לא ניתן לבטל את המחיקה: ") +
                        failures.join(QStringLiteral("; ")));
        m_undo->setEnabled(false);
        m_timer.start(g_shownMs);
    }

    void placeOver(const QRect& near)
    {
        adjustSize();
        QRect frame(QPoint(), size());
        frame.moveCenter(near.center());
        if (const QScreen* screen = QGuiApplication::screenAt(near.center())) {
            const QRect room = screen->availableGeometry();
            frame.moveLeft(qBound(room.left(), frame.left(), room.right() - frame.width()));
            frame.moveTop(qBound(room.top(), frame.top(), room.bottom() - frame.height()));
        }
        move(frame.topLeft());
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape)
            close();
        else
            QWidget::keyPressEvent(event);
    }

private:
    QLabel* m_text = nullptr;
    QPushButton* m_undo = nullptr;
    QTimer m_timer;
    QList<Held> m_held;
};

QPointer<UndoNotice>& shown()
{
    static QPointer<UndoNotice> notice;
    return notice;
}

} // namespace

namespace UndoDelete {

void offer(const QString& text, std::function<QString()> undo, const QRect& near)
{
    const bool fresh = !shown();
    if (fresh)
        shown() = new UndoNotice;
    shown()->hold(text, std::move(undo));
    if (fresh) {
        shown()->placeOver(near);
        shown()->show();
    }
    shown()->raise();
}

bool undoNow()
{
    if (!shown())
        return false;
    shown()->undoAll();
    return true;
}

QWidget* notice()
{
    return shown() && shown()->isVisible() ? shown().data() : nullptr;
}

void setShownMs(int ms)
{
    g_shownMs = ms;
}

} // namespace UndoDelete
