// The broker's password on a private session bus: in a file of the user's alone while the bus
// has no keyring, or one that cannot keep it; in the keyring once one runs there.
#include "broker/BrokerPassword.h"
#include "broker/BrokerSettings.h"
#include "common/Ini.h"
#include "common/Log.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestFiles.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>

namespace {

struct Answer
{
    QString password, error;
    bool came = false;
};

Answer readNow()
{
    Answer answer;
    QObject context;
    BrokerPassword::read(&context, [&](const QString& password, const QString& error) {
        answer = {password, error, true};
    });
    QTest::qWaitFor([&] { return answer.came; }, 20000);
    return answer;
}

QString writeNow(const QString& password)
{
    Answer answer;
    QObject context;
    BrokerPassword::write(&context, password, [&](const QString& error) {
        answer = {QString(), error, true};
    });
    QTest::qWaitFor([&] { return answer.came; }, 20000);
    return answer.came ? answer.error : QStringLiteral("no answer");
}

// What the keyring holds under the name the password is kept by.
QString inKeyring(const QString& key)
{
    QKeychain::ReadPasswordJob job(QStringLiteral("veltrum-reminder"));
    job.setAutoDelete(false);
    job.setKey(key);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return job.error() == QKeychain::NoError ? job.textData() : job.errorString();
}

bool hasKeyring()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(
        "org.freedesktop.secrets");
}

} // namespace

class BrokerPasswordTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_root;
    TempProgramDir m_programs;
    QProcess m_bus, m_keyring;

    QString file() const { return BrokerPassword::fallbackFile(); }
    QString logged() const { return QString::fromUtf8(fileBytes(m_programs.file("Kalvex.log"))); }
    bool startKeyring()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* dir : {"HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            const QString path = m_root.filePath(dir);
            QDir().mkpath(path);
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
            env.insert(dir, path);
        }
        m_keyring.setProcessEnvironment(env);
        m_keyring.start("gnome-keyring-daemon",
                        QStringList{"--foreground", "--components=secrets", "--unlock"});
        if (!m_keyring.waitForStarted())
            return false;
        m_keyring.write("the login keyring's password");
        m_keyring.closeWriteChannel();
        return QTest::qWaitFor(hasKeyring, 20000);
    }

private slots:
    void initTestCase()
    {
        // A bus of the test's own, where no keyring can be started by asking for it.
        const QString config = m_root.filePath("bus.conf"), socket = m_root.filePath("bus");
        writeBytes(config,
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                   "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/"
                   "busconfig.dtd\">\n<busconfig><type>session</type><listen>unix:path=" +
                       socket.toUtf8() +
                       "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                       "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                       "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                       "</busconfig>\n");
        m_bus.start("dbus-daemon", {"--nofork", "--print-address=1", "--config-file=" + config});
        QVERIFY(QTest::qWaitFor([&] { return m_bus.canReadLine(); }, 10000));
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + socket.toUtf8());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        StartLogging("Kalvex.log");
        QVERIFY(writeBrokerSettings({"mqtts://broker.example", "dana", "", false}));
    }
    void cleanupTestCase()
    {
        for (QProcess* process : {&m_keyring, &m_bus}) {
            process->kill();
            process->waitForFinished();
        }
    }

    // Kept readable by the user alone, one line; an empty password forgets it; never in the
    // settings file.
    void aFileWhereThereIsNoKeyring()
    {
        QCOMPARE(writeNow("pässword"), QString());
        QCOMPARE(fileMode(file()), 0600);
        QCOMPARE(fileBytes(file()), QByteArray("pässword\n"));
        QCOMPARE(readNow().password, QString("pässword"));
        QVERIFY(!fileBytes(iniFilePath()).contains("pässword"));
        QCOMPARE(writeNow(""), QString());
        QVERIFY(!QFile::exists(file()));
    }

    // A file others may read or write, or that is not the user's own file, is refused: the
    // password in it may be known.
    void anExposedFileIsRefused_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("link");
        QTest::addColumn<QString>("said");
        QTest::newRow("group reads") << 0640 << false << "פתוח למשתמשים אחרים";
        QTest::newRow("others read") << 0604 << false << "פתוח למשתמשים אחרים";
        QTest::newRow("group writes") << 0620 << false << "פתוח למשתמשים אחרים";
        QTest::newRow("a link") << 0600 << true << "אינו קובץ רגיל";
    }
    void anExposedFileIsRefused()
    {
        QFETCH(int, mode);
        QFETCH(bool, link);
        QFETCH(QString, said);
        QFile::remove(file());
        const QString kept = link ? m_root.filePath("elsewhere") : file();
        writeBytes(kept, "secret\n");
        QVERIFY(::chmod(QFile::encodeName(kept).constData(), mode) == 0);
        if (link)
            QVERIFY(QFile::link(kept, file()));
        const Answer answer = readNow();
        QCOMPARE(answer.password, QString());
        QVERIFY2(answer.error.contains(said), qPrintable(answer.error));
    }

    // In the keyring, by the broker's user and address; the file is gone.
    void theKeyringWhereThereIsOne()
    {
        if (QStandardPaths::findExecutable("gnome-keyring-daemon").isEmpty())
            QSKIP("gnome-keyring is not installed");
        writeBytes(file(), "stale\n");
        QVERIFY(startKeyring());
        QCOMPARE(writeNow("in the keyring"), QString());
        QVERIFY(!QFile::exists(file()));
        QCOMPARE(inKeyring("dana@mqtts://broker.example"), QString("in the keyring"));
        QCOMPARE(readNow().password, QString("in the keyring"));
        QCOMPARE(writeNow(""), QString());
        QCOMPARE(readNow().password, QString());
    }
    // A keyring that has nowhere to keep it (its collection is gone, and there is no display
    // to ask for a new one) leaves the password in the file, and says so in the log.
    void aKeyringThatCannotKeepItLeavesTheFile()
    {
        if (!hasKeyring())
            QSKIP("no keyring runs");
        const QDBusMessage gone = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            "org.freedesktop.secrets", "/org/freedesktop/secrets/collection/login",
            "org.freedesktop.Secret.Collection", "Delete"));
        QCOMPARE(gone.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(writeNow("no-collection"), QString());
        QCOMPARE(fileMode(file()), 0600);
        QCOMPARE(readNow().password, QString("no-collection"));
        QVERIFY(logged().contains("BrokerPassword: the keyring cannot keep it"));
    }
};

QTEST_GUILESS_MAIN(BrokerPasswordTest)
#include "tst_broker_password.moc"
