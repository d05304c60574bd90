// Text of the right-to-left windows: read from the right on screen, and kept
// in its logical order through a save and a reload.
#include "ManagerFixture.h"

#include "Beep.h"
#include "Prompt.h"
#include "Remind.h"
#include "RightToLeftText.h"

#include <QtTest>
#include <QtWidgets>

class RightToLeftTextTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        RightToLeftText::install(); // as both programs do at start-up
        setAlertBeepObserver([] {});
    }

    // Every line of the alert's details stands in the right half against the
    // right edge (within the margin and the caret).
    void alertDetailsReadFromTheRight()
    {
        ManagerFixture f;
        const QString text = QStringLiteral("להביא את הדוח הרבעוני\nחדר ישיבות 3");
        QPointer<Remind> alert = new Remind;
        alert->RLoad(f.add({{"RDetail", text}}));
        auto* box = alert->findChild<QPlainTextEdit*>(QStringLiteral("CDetail"));
        QCOMPARE(box->toPlainText(), text);
        const qreal width = box->viewport()->width(),
                    rightEdge = width - box->document()->documentMargin() - 2;
        for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
            box->document()->documentLayout()->blockBoundingRect(b); // lays the block out
            const QRectF drawn = b.layout()->lineAt(0).naturalTextRect();
            QVERIFY2(drawn.left() > width / 2 && drawn.right() >= rightEdge, qPrintable(b.text()));
        }
        alert->close();
        QTRY_VERIFY(alert.isNull());
    }

    // Typed into a new reminder one character at a time, as a Hebrew keyboard
    // sends it, saved, and shown again by a fresh window; stored with the line
    // ends of the classic text box.
    void mixedTextKeepsItsOrderThroughSaveAndReload()
    {
        const QString text =
            QStringLiteral("חדר 3 – Room B, טל' 03-1234567, 12/05/2026\nCall John at 10:30.");
        ManagerFixture f;
        f.open();
        f.click("cmdNew");
        auto* box = f.find<QPlainTextEdit>("CDetail");
        box->setFocus();
        for (const QChar c : text) {
            if (c == QLatin1Char('\n'))
                QTest::keyClick(box, Qt::Key_Return);
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        f.click("cmdNew"); // "שמור כחדש"
        QCOMPARE(f.row(f.listIds().value(0)).value("RDetail").toString(),
                 QString(text).replace('\n', "\r\n"));
        f.close();
        QCOMPARE(f.open()->findChild<QPlainTextEdit*>("CDetail")->toPlainText(), text);
    }

    // A message box's line that starts in Latin is painted against the right edge too.
    void messageBoxReadsFromTheRight()
    {
        QImage shown;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            shown = box->findChild<QLabel*>("qt_msgbox_label")->grab().toImage();
            box->accept();
        });
        Prompt::message(nullptr, "התזכורת נמחקה מהרשימה\nRoom B.", "x", Prompt::Buttons::Ok,
                        Prompt::Icon::Critical);
        int left = -1, right = -1; // the lower line's painted columns
        for (int x = 0; x < shown.width(); ++x)
            for (int y = shown.height() / 2; y < shown.height(); ++y)
                if (shown.pixel(x, y) != shown.pixel(0, 0))
                    (left < 0 ? left : right) = x;
        QVERIFY(left > shown.width() / 2 && right >= shown.width() - 3);
    }
};

QTEST_MAIN(RightToLeftTextTest)
#include "tst_manager_rtl.moc"
