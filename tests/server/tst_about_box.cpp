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
    void initTestCase();
    void clickingTheAddressesOpensMailAndWebSite();
    void okAndEscapeCloseTheSingleBox();

private:
    static FrmAbout* shownBox();
    static void click(const char* name);
    UrlRecorder m_urls;
};

void AboutBoxTest::initTestCase()
{
    for (const char* scheme : {"mailto", "http", "https"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_urls, "open");
}

FrmAbout* AboutBoxTest::shownBox()
{
    FrmAbout::showBox();
    FrmAbout* box = FrmAbout::instance();
    if (box && !QTest::qWaitForWindowExposed(box))
        return nullptr;
    return box;
}

void AboutBoxTest::click(const char* name)
{
    auto* widget = FrmAbout::instance()->findChild<QWidget*>(QString::fromLatin1(name));
    QVERIFY2(widget, name);
    QTest::mouseClick(widget, Qt::LeftButton);
}

void AboutBoxTest::clickingTheAddressesOpensMailAndWebSite()
{
    QVERIFY(shownBox());
    m_urls.opened.clear();
    click("LEmail");
    click("LWebsite");
    click("Logo");
    click("Label1"); // only the addresses and the logo are links
    QCOMPARE(m_urls.opened.size(), 3);
    QCOMPARE(m_urls.opened[0].scheme(), QStringLiteral("mailto"));
    QCOMPARE(m_urls.opened[0].path(),
             FrmAbout::instance()->findChild<QLabel*>(QStringLiteral("LEmail"))->text());
    QCOMPARE(m_urls.opened[1].scheme(), QStringLiteral("https"));
    QCOMPARE(m_urls.opened[2], m_urls.opened[1]);
    FrmAbout::instance()->close();
}

void AboutBoxTest::okAndEscapeCloseTheSingleBox()
{
    FrmAbout* box = shownBox();
    QVERIFY(box);
    QCOMPARE(shownBox(), box); // a second request shows the same box
    click("cmd_Ok");
    QTRY_VERIFY(!FrmAbout::instance());

    box = shownBox();
    QVERIFY(box);
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
