#include "FrmAbout.h"

#include <QDesktopServices>
#include <QLabel>
#include <QtTest>

// Stands in for the desktop's mail program and browser.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class AboutBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void addressesOpenMailAndWebSiteAndTheSingleBoxCloses();

private:
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
    UrlRecorder m_urls;
};

void AboutBoxTest::addressesOpenMailAndWebSiteAndTheSingleBoxCloses()
{
    for (const char* scheme : {"mailto", "https"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_urls, "open");
    FrmAbout* box = shownBox();
    QVERIFY(box);
    QCOMPARE(shownBox(), box); // a second request shows the same box
    click("LEmail");
    click("LWebsite");
    click("Label1"); // only the addresses and the logo are links
    QCOMPARE(m_urls.opened.size(), 2);
    QCOMPARE(m_urls.opened[0].scheme(), QStringLiteral("mailto"));
    QCOMPARE(m_urls.opened[0].path(), box->findChild<QLabel*>("LEmail")->text());
    QCOMPARE(m_urls.opened[1].scheme(), QStringLiteral("https"));

    QTest::keyClick(box, Qt::Key_Escape);
    QTRY_VERIFY(!FrmAbout::instance());
    // Asked for again before the closed box is gone: a box that stays.
    box = shownBox();
    click("cmd_Ok");
    QPointer<FrmAbout> closed = box;
    box = shownBox();
    QTRY_VERIFY(!closed);
    QVERIFY(box && FrmAbout::instance() == box && box->isVisible());
    box->close();
}

QTEST_MAIN(AboutBoxTest)
#include "tst_about_box.moc"
