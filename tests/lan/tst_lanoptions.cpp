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
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kEntry = QStringLiteral("Veltrum Reminder");

// The key's text as written (ReadIni gives an empty value as the default).
QString lanValue(const QString& key)
{
    QFile ini(iniFilePath());
    ini.open(QIODevice::ReadOnly);
    const QRegularExpression line("^" + key + "=(.*)$", QRegularExpression::MultilineOption);
    const QRegularExpressionMatch found = line.match(QString::fromUtf8(ini.readAll()));
    return found.hasMatch() ? found.captured(1).trimmed() : "<none>";
}

} // namespace

class TestLanOptions : public QObject
{
    Q_OBJECT
    // A program directory whose name needs quoting in a desktop entry.
    QTemporaryDir m_programDir{QDir::tempPath() + "/prog \"dir XXXXXX"};
    QTemporaryDir m_config;
    std::unique_ptr<FrmLANOpt> w;

    template <typename T> T* find(const char* name) { return w->findChild<T*>(name); }
    void open()
    {
        w = std::make_unique<FrmLANOpt>();
        w->show();
    }
    void save()
    {
        Prompt::setNextAnswer(Prompt::Answer::Ok);
        QTest::keyClick(w.get(), Qt::Key_F9);
    }
    QString entryText()
    {
        QFile file(AutoStart::entryPath(kEntry));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "none";
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        ProgramDir::setOverride(m_programDir.path());
    }
    void init()
    {
        QFile::remove(iniFilePath());
        AutoStart::remove(kEntry);
        Prompt::clearHistory();
    }

    // Checked only while sending or receiving is on, except the nickname's
    // width: it is the author of every reminder saved. A refusal says why,
    // writes nothing and keeps the window open.
    void validation_data()
    {
        QTest::addColumn<bool>("lanOn");
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("refusal");
        const QString port = "יש להגדיר מספר פורט";
        // clang-format off
        QTest::newRow("LAN off") << false << "" << "abc" << "";
        QTest::newRow("leading zero") << true << "me" << "0217" << "";
        QTest::newRow("highest") << true << "123456789" << "65535" << "";
        QTest::newRow("zero") << true << "me" << "0" << port;
        QTest::newRow("above") << true << "me" << "65536" << port;
        QTest::newRow("no nickname") << true << "" << "217" << "יש להגדיר כינוי ברשת";
        QTest::newRow("nickname too long") << false << "1234567890" << "217" << "הכינוי ברשת ארוך מדי: עד 9 תווים";
        // clang-format on
    }
    void validation()
    {
        QFETCH(bool, lanOn);
        QFETCH(QString, nick);
        QFETCH(QString, port);
        QFETCH(QString, refusal);
        open();
        find<QCheckBox>("OptSend")->setChecked(false);
        find<QCheckBox>("OptReceive")->setChecked(lanOn);
        find<QLineEdit>("txtNick")->setText(nick);
        find<QLineEdit>("txtPort")->setText(port);
        save();
        QCOMPARE(w->isVisible(), !refusal.isEmpty());
        QCOMPARE(Prompt::history().isEmpty() ? QString() : Prompt::history().last().text, refusal);
        const QStringList stored{lanValue("OptReceive"), lanValue("Nick"), lanValue("Port")};
        const QStringList typed{lanOn ? "1" : "0", nick, port};
        QCOMPARE(stored, refusal.isEmpty() ? typed : QStringList(3, "<none>"));
        if (refusal.isEmpty()) {
            open();
            // Read back as a number; one that is no port shows the default.
            const int number = port.toInt();
            QCOMPARE(find<QLineEdit>("txtPort")->text(), QString::number(number ? number : 217));
        }
    }

    // The entry changes only with the box: it then starts this
    // installation's Tolvane (one quoted argument), and a desktop would take it.
    void autoStart_data()
    {
        QTest::addColumn<QString>("before"); // no entry, this Tolvane, another one
        QTest::addColumn<int>("box");        // -1 left alone, 0 cleared, 1 ticked
        QTest::addColumn<QString>("after");
        const QString ours = "ours", other = "/opt/other/Tolvane", none = "none";
        QTest::newRow("ticked") << none << 1 << ours;
        QTest::newRow("another left alone") << other << -1 << other;
        QTest::newRow("cleared") << ours << 0 << none;
    }
    void autoStart()
    {
        QFETCH(QString, before);
        QFETCH(int, box);
        QFETCH(QString, after);
        const auto path = [](const QString& p) { return p == "ours" ? MonitorProgram() : p; };
        if (before != "none")
            AutoStart::set(kEntry, path(before), "x");
        const QString written = entryText();
        open();
        QCOMPARE(find<QCheckBox>("Opt_AutoRun")->isChecked(), before == "ours");
        if (box >= 0)
            find<QCheckBox>("Opt_AutoRun")->setChecked(box);
        save();
        QCOMPARE(AutoStart::program(kEntry).value_or("none"), path(after));
        QVERIFY(box >= 0 || entryText() == written);
        QProcess validate;
        validate.start("desktop-file-validate", {AutoStart::entryPath(kEntry)});
        QVERIFY(after == "none" || (validate.waitForFinished() && validate.exitCode() == 0));
    }

    // Reloaded once the window has closed: a changed switch restarts
    // Tolvane, a nickname alone does not; receiving refills the list with or
    // without the author column.
    void managerTakesNewSettings()
    {
        ManagerFixture f;
        WriteLANSettings(true, true, "me", "217");
        LoadLANSettings();
        f.add({});
        f.open();
        struct Change
        {
            bool send, receive;
            QString nick, port;
            int restarts;
        };
        int restarts = 0;
        // A new port restarting it is shown end to end.
        for (const Change& c :
             {Change{true, true, "you", "217", 0}, Change{false, true, "you", "217", 1},
              Change{false, false, "you", "217", 2}}) {
            RMain::setLanWindows(
                {nullptr, [&](QWidget*) { WriteLANSettings(c.send, c.receive, c.nick, c.port); },
                 [&] { ++restarts; }});
            QTest::mouseClick(f.find<QWidget>("cmdDefinitions"), Qt::LeftButton);
            QCOMPARE(restarts, c.restarts);
            QCOMPARE(LANNick, c.nick);
            QCOMPARE(f.find<QLabel>("ListLabel_7")->isVisible(), c.receive);
            QCOMPARE(f.find<QWidget>("cmdOptList")->isEnabled(), c.send);
        }
        RMain::setLanWindows({});
    }
};

QTEST_MAIN(TestLanOptions)
#include "tst_lanoptions.moc"
