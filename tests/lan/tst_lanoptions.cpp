// The options window on a settings file and an auto-start folder of its own,
// and what the manager's options command does once the window has closed.
#include "ManagerFixture.h"

#include "AutoStart.h"
#include "FrmLANOpt.h"
#include "Ini.h"
#include "LanSettings.h"
#include "ProgramDir.h"
#include "Prompt.h"
#include "RestartMonitor.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

class TestLanOptions : public QObject
{
    Q_OBJECT
    // A program directory whose name needs quoting in a desktop entry.
    QTemporaryDir m_programDir{QDir::tempPath() + "/prog \"dir XXXXXX"};
    QTemporaryDir m_config;
    const QString kEntry = QStringLiteral("Veltrum Reminder");
    std::unique_ptr<FrmLANOpt> w;

    template <typename T> T* find(const char* name) { return w->findChild<T*>(name); }
    void open()
    {
        w = std::make_unique<FrmLANOpt>();
        w->show();
    }
    void save()
    {
        Prompt::clearHistory();
        Prompt::setNextAnswer(Prompt::Answer::Ok);
        QTest::keyClick(w.get(), Qt::Key_F9);
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        ProgramDir::setOverride(m_programDir.path());
    }

    // Checked only while sending or receiving is on, except the nickname's
    // width: it is the author of every reminder saved. A refusal says why,
    // writes nothing and keeps the window open.
    void validation()
    {
        const QString none = "<none>";
        const struct
        {
            bool lanOn;
            QString nick, port, refusal, storedPort;
        } cases[] = {
            {false, "", "abc", "", "abc"},
            {true, "me", "0217", "", "0217"},
            {true, "me", "0", "יש להגדיר מספר פורט", none},
            {true, "", "217", "יש להגדיר כינוי ברשת", none},
            {false, "1234567890", "217", "הכינוי ברשת ארוך מדי: עד 9 תווים", none},
        };
        for (const auto& c : cases) {
            QFile::remove(iniFilePath());
            open();
            find<QCheckBox>("OptSend")->setChecked(false);
            find<QCheckBox>("OptReceive")->setChecked(c.lanOn);
            find<QLineEdit>("txtNick")->setText(c.nick);
            find<QLineEdit>("txtPort")->setText(c.port);
            save();
            QCOMPARE(w->isVisible(), !c.refusal.isEmpty());
            QCOMPARE(Prompt::history().value(0).text, c.refusal);
            QCOMPARE(ReadIni("LAN_Settings", "Port", none), c.storedPort);
            if (c.refusal.isEmpty()) { // read back as a number, else the default
                open();
                QCOMPARE(find<QLineEdit>("txtPort")->text(), QString("217"));
            }
        }
    }

    // The entry changes only with the box: it then starts this
    // installation's Tolvane (one quoted argument), and a desktop would take
    // it; another installation's entry is left alone.
    void autoStart()
    {
        AutoStart::set(kEntry, "/opt/other/Tolvane", "x");
        open();
        QVERIFY(!find<QCheckBox>("Opt_AutoRun")->isChecked());
        save();
        QCOMPARE(AutoStart::program(kEntry).value_or("none"), QString("/opt/other/Tolvane"));
        find<QCheckBox>("Opt_AutoRun")->setChecked(true);
        save();
        QCOMPARE(AutoStart::program(kEntry).value_or("none"), MonitorProgram());
        QProcess validate;
        validate.start("desktop-file-validate", {AutoStart::entryPath(kEntry)});
        QVERIFY(validate.waitForFinished() && validate.exitCode() == 0);
        open();
        find<QCheckBox>("Opt_AutoRun")->setChecked(false);
        save();
        QVERIFY(!AutoStart::program(kEntry));
    }

    // Reloaded once the window has closed: a changed switch restarts
    // Tolvane; receiving off drops the author column, sending off the list.
    void managerTakesNewSettings()
    {
        ManagerFixture f;
        WriteLANSettings(true, true, "me", "217");
        LoadLANSettings();
        f.add({});
        f.open();
        int restarts = 0;
        RMain::setLanWindows({nullptr,
                              [](QWidget*) { WriteLANSettings(false, false, "you", "217"); },
                              [&] { ++restarts; }});
        QTest::mouseClick(f.find<QWidget>("cmdDefinitions"), Qt::LeftButton);
        QCOMPARE(restarts, 1);
        QCOMPARE(LANNick, QString("you"));
        QVERIFY(!f.find<QLabel>("ListLabel_7")->isVisible());
        QVERIFY(!f.find<QWidget>("cmdOptList")->isEnabled());
        RMain::setLanWindows({});
    }
};

QTEST_MAIN(TestLanOptions)
#include "tst_lanoptions.moc"
