// Text boxes and message boxes of the right-to-left windows read from the right.
#include "ManagerFixture.h"

#include "Beep.h"
#include "Prompt.h"
#include "Remind.h"
#include "RightToLeftText.h"

#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

namespace {

const QString kTwoLines = QStringLiteral("להביא את הדוח הרבעוני\nחדר ישיבות 3");
const QString kMixed = QStringLiteral("חדר 3 – Room B, טל' 03-1234567, 12/05/2026");
const QString kLatin = QStringLiteral("Call John at 10:30.");

// A line of a multi-line box, laid out, and where a part of it is drawn (the
// centre of its glyphs, in the box's own coordinates).
struct Line
{
    QString text;
    QTextLine line;
    qreal x(const QString& part) const
    {
        QRectF drawn;
        for (const QGlyphRun& run : line.glyphRuns(text.indexOf(part), part.size()))
            drawn |= run.boundingRect();
        return drawn.center().x();
    }
};
QList<Line> lines(QPlainTextEdit* box)
{
    QList<Line> found;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
        box->document()->documentLayout()->blockBoundingRect(b); // lays the block out
        found << Line{b.text(), b.layout()->lineAt(0)};
    }
    return found;
}

// Within this distance of the right edge: the document's margin and the caret.
qreal rightEdge(QPlainTextEdit* box)
{
    return box->viewport()->width() - box->document()->documentMargin() - 2;
}

// Every line stands in the right half, against the right edge, and the caret
// at the start of the text waits at the right edge.
void checkReadsFromTheRight(QPlainTextEdit* box)
{
    for (const Line& l : lines(box)) {
        const QRectF drawn = l.line.naturalTextRect();
        QVERIFY2(drawn.left() > box->viewport()->width() / 2, qPrintable(l.text));
        QVERIFY2(drawn.right() >= rightEdge(box), qPrintable(l.text));
    }
    box->moveCursor(QTextCursor::Start);
    QVERIFY(box->cursorRect().x() >= rightEdge(box));
}

// Within the frame, the margin and the caret's own width of the right edge.
bool caretAtTheRight(QLineEdit* box)
{
    box->grab(); // the box scrolls its text into place as it paints
    return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x() >= box->width() - 12;
}

// Typed one character at a time, as a Hebrew keyboard sends it.
void type(QWidget* box, const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The painted columns of rows [top, bottom) of an image: the leftmost, the
// rightmost, and how many pixels of the leftmost one are painted.
struct Ink
{
    int left = -1, right = -1, leftHeight = 0;
};
Ink ink(const QImage& image, QRgb background, int top, int bottom)
{
    Ink found;
    for (int x = 0; x < image.width(); ++x) {
        int height = 0;
        for (int y = top; y < bottom; ++y)
            height += image.pixel(x, y) != background;
        if (height && found.left < 0)
            found = {x, x, height};
        else if (height)
            found.right = x;
    }
    return found;
}

} // namespace

class RightToLeftTextTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;
    QPointer<Remind> m_alert;

private slots:
    void initTestCase()
    {
        RightToLeftText::install(); // as both programs do at start-up
        setAlertBeepObserver([] {});
    }
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup()
    {
        if (m_alert)
            m_alert->close();
        QTRY_VERIFY(m_alert.isNull());
        f.reset();
    }

    // The editor's details box is shown by the save-and-reload case below.
    void alertDetailsAndDateReadFromTheRight()
    {
        m_alert = new Remind;
        m_alert->RLoad(f->add({{"RDetail", kTwoLines}}));
        auto* box = m_alert->findChild<QPlainTextEdit*>(QStringLiteral("CDetail"));
        QCOMPARE(box->toPlainText(), kTwoLines);
        checkReadsFromTheRight(box);
        // A date, after its last digit.
        QVERIFY(caretAtTheRight(m_alert->findChild<QLineEdit*>(QStringLiteral("CTarget"))));
    }

    // Typed into a new reminder, saved, and shown again by a fresh window.
    void mixedLinesKeepTheirOrderThroughSaveAndReload()
    {
        f->open();
        QTest::mouseClick(f->find<QPushButton>("cmdNew"), Qt::LeftButton);
        auto* caption = f->find<QLineEdit>("CCaption");
        caption->setFocus();
        caption->selectAll();
        QTest::keyClick(caption, Qt::Key_Delete);
        QVERIFY(caretAtTheRight(caption));
        type(caption, "Room B");
        QVERIFY(caretAtTheRight(caption)); // after the Latin text, at the right edge

        auto* box = f->find<QPlainTextEdit>("CDetail");
        box->setFocus();
        QVERIFY(box->cursorRect().x() >= rightEdge(box));
        const QString text = kMixed + '\n' + kLatin;
        type(box, text);
        QTest::mouseClick(f->find<QPushButton>("cmdNew"), Qt::LeftButton); // "שמור כחדש"
        QCOMPARE(f->listIds().size(), 1);
        QCOMPARE(f->row(f->listIds().first()).value("RDetail").toString(),
                 kMixed + "\r\n" + kLatin); // stored with the line ends of the classic text box

        f->close();
        box = f->open()->findChild<QPlainTextEdit*>(QStringLiteral("CDetail"));
        QCOMPARE(box->toPlainText(), text);
        const QList<Line> shown = lines(box);
        // The Hebrew line reads from the right; the Latin, the number and the
        // date inside it keep their own order.
        const Line& mixed = shown[0];
        QVERIFY(mixed.line.naturalTextRect().right() >= rightEdge(box));
        const QStringList fromTheLeft = {"12/", "2026", "03", "1234567",
                                         "טל'", "Room", "B,", "חדר"};
        for (qsizetype i = 1; i < fromTheLeft.size(); ++i)
            QVERIFY2(mixed.x(fromTheLeft[i - 1]) < mixed.x(fromTheLeft[i]),
                     qPrintable(fromTheLeft[i]));
        // The Latin line stays as typed, its full stop last, at the right edge.
        const Line& latin = shown[1];
        QVERIFY(latin.x("Call") < latin.x("."));
        QVERIFY(latin.line.naturalTextRect().right() >= rightEdge(box));
    }

    // Every line right to left at the right edge, also one that starts in Latin.
    void messageBoxReadsFromTheRight()
    {
        QImage shown;
        QRgb background = 0;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            background = box->palette().color(QPalette::Window).rgb();
            shown = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->grab().toImage();
            box->accept();
        });
        Prompt::message(nullptr, QStringLiteral("התזכורת נמחקה מהרשימה\nRoom B."),
                        QStringLiteral("תזכורון ולטרום"), Prompt::Buttons::Ok,
                        Prompt::Icon::Critical);
        QVERIFY(!shown.isNull());
        const int half = shown.height() / 2;
        const Ink latin = ink(shown, background, half, shown.height());
        QVERIFY(latin.left > shown.width() / 2);
        QVERIFY(latin.right >= shown.width() - 3);
        // Read right to left, the full stop ends the line at its left.
        QVERIFY2(latin.leftHeight * 3 < half, qPrintable(QString::number(latin.leftHeight)));
    }
};

QTEST_MAIN(RightToLeftTextTest)
#include "tst_manager_rtl.moc"
