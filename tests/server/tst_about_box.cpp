#include "FrmAbout.h"

#include <QDesktopServices>
#include <QLabel>
#include <QtTest>

class AboutBoxTest : public QObject
{
    Q_OBJECT
    QList<QUrl> m_opened;

    static FrmAbout* shownBox()
    {
        FrmAbout::showBox();
        FrmAbout* box = FrmAbout::instance();
        return box && QTest::qWaitForWindowExposed(box) ? box : nullptr;
    }
    static void click(const char* name)
    {
        QTest::mouseClick(FrmAbout::instance()->findChild<QWidget*>(name), Qt::LeftButton);
    }

public slots:
    void open(const QUrl& url) { m_opened << url; } // the desktop's mail program and browser

private slots:
    // Only the addresses (and the logo) are links; one box at a time, also
    // when asked for again before a closed one is gone.
    void addressesOpenMailAndWebSiteAndTheSingleBoxCloses()
    {
        for (const char* scheme : {"mailto", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
        FrmAbout* box = shownBox();
        QVERIFY(box && shownBox() == box);
        click("LEmail");
        click("LWebsite");
        click("Label1");
        QVERIFY(m_opened.size() == 2 && m_opened[1].scheme() == "https");
        QCOMPARE(m_opened[0].toString(), "mailto:" + box->findChild<QLabel*>("LEmail")->text());

        QTest::keyClick(box, Qt::Key_Escape);
        QTRY_VERIFY(!FrmAbout::instance());
        box = shownBox();
        click("cmd_Ok");
        QPointer<FrmAbout> closed = box;
        box = shownBox();
        QTRY_VERIFY(!closed);
        QVERIFY(box && FrmAbout::instance() == box && box->isVisible());
        box->close();
    }
};

QTEST_MAIN(AboutBoxTest)
#include "tst_about_box.moc"
