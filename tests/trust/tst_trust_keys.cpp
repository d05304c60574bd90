#include "platform/Clock.h"
#include "tests/support/TestFiles.h"
#include "trust/KeyFile.h"
#include "trust/SignatureCounter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why the key file is refused, and what the refusal says; -1 when a key is taken.
int refusal(const QString& path, QString* description = nullptr)
{
    try {
        loadOrCreateKeyPair(path);
        return -1;
    } catch (const KeyFileFailure& e) {
        if (description)
            *description = e.description();
        return e.reason();
    }
}

} // namespace

class TrustKeysTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;

    QString keyPath() const { return m_dir->filePath(QStringLiteral("KV_Key")); }
    QStringList filesThere() const
    {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::System);
    }
    // A good key line, made where it does not disturb the test.
    QByteArray goodKeyLine() const
    {
        const QString other = m_dir->filePath(QStringLiteral("other/KV_Key"));
        QDir().mkpath(QFileInfo(other).path());
        loadOrCreateKeyPair(other);
        return fileBytes(other);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        Clock::setNow(Date::fromParts(2026, 5, 4, 9, 30));
    }
    void cleanup()
    {
        Clock::useSystemClock();
        m_dir.reset();
    }

    // Made on first use readable by its user only, even under a umask that
    // lets everybody read; read back the same afterwards, nothing left beside it.
    void madePrivateAndKept()
    {
        const mode_t umaskBefore = ::umask(0);
        const KeyPair made = loadOrCreateKeyPair(keyPath());
        ::umask(umaskBefore);
        QCOMPARE(fileMode(keyPath()), 0600);
        QCOMPARE(loadOrCreateKeyPair(keyPath()).publicKey(), made.publicKey());
        QCOMPARE(KeyPair::fromSeed(made.seed()).publicKey(), made.publicKey());
        QCOMPARE(filesThere(), QStringList{QStringLiteral("KV_Key")});
    }

    // A file that cannot be trusted is refused and left exactly as it was.
    void refusedFilesKept()
    {
        const QByteArray good = goodKeyLine();
        QByteArray badCharacter = good;
        badCharacter[10] = '+';
        // clang-format off
        const struct { QByteArray bytes; mode_t mode; KeyFileFailure::Reason reason; } cases[] = {
            {"", 0600, KeyFileFailure::Corrupt},
            {"garbage\n", 0600, KeyFileFailure::Corrupt},
            {good.chopped(1), 0600, KeyFileFailure::Corrupt},           // no line feed
            {good.chopped(2) + '\n', 0600, KeyFileFailure::Corrupt},    // a character short
            {good + good, 0600, KeyFileFailure::Corrupt},
            {badCharacter, 0600, KeyFileFailure::Corrupt},
            {good, 0644, KeyFileFailure::Exposed},
            {good, 0640, KeyFileFailure::Exposed},
            {good, 0602, KeyFileFailure::Exposed},
            {"garbage\n", 0666, KeyFileFailure::Exposed},
        };
        // clang-format on
        for (const auto& c : cases) {
            QFile::remove(keyPath());
            writeBytes(keyPath(), c.bytes);
            ::chmod(QFile::encodeName(keyPath()).constData(), c.mode);
            QString said;
            QCOMPARE(refusal(keyPath(), &said), int(c.reason));
            QVERIFY(said.contains(keyPath()));
            QCOMPARE(fileBytes(keyPath()), c.bytes);
            QCOMPARE(fileMode(keyPath()), int(c.mode));
        }
    }

    // A link (even to a good key) or a folder in the key's place is not the user's own file.
    void notOwnFileRefused()
    {
        const QString target = m_dir->filePath(QStringLiteral("elsewhere"));
        writeBytes(target, goodKeyLine());
        QVERIFY(QFile::link(target, keyPath()));
        QCOMPARE(refusal(keyPath()), int(KeyFileFailure::NotOwnFile));
        QFile::remove(keyPath());
        QVERIFY(QDir().mkdir(keyPath()));
        QCOMPARE(refusal(keyPath()), int(KeyFileFailure::NotOwnFile));
    }

    // A folder that cannot be written: no key, said so, no stray file, and no counter.
    void unwritableFolder()
    {
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0500);
        AsFileOwner asOwner;
        QCOMPARE(refusal(keyPath()), int(KeyFileFailure::Unwritable));
        QVERIFY(filesThere().isEmpty());
        SignatureCounter counter(m_dir->filePath(QStringLiteral("KV_Key.counter")));
        QVERIFY_THROWS_EXCEPTION(Failure, counter.next());
    }

    // Counters rise within a run, across a restart, and across a restart
    // after the clock was set back a day.
    void counterNeverRepeats()
    {
        const QString path = m_dir->filePath(QStringLiteral("KV_Key.counter"));
        SignatureCounter first(path);
        const quint64 one = first.next();
        const quint64 two = first.next();
        QCOMPARE(two, one + 1);
        SignatureCounter restarted(path);
        const quint64 three = restarted.next();
        QVERIFY(three > two);
        Clock::advance(-86400);
        QVERIFY(SignatureCounter(path).next() > three);
        // Without its file (lost, unreadable) a counter starts at the clock's microseconds.
        writeBytes(path, "not a number\n");
        QCOMPARE(SignatureCounter(path).next(), quint64(Clock::secondsSinceEpoch()) * 1000000);
    }
};

QTEST_GUILESS_MAIN(TrustKeysTest)
#include "tst_trust_keys.moc"
