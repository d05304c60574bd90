// The extra addresses beyond the LAN's broadcast: which lists are refused and why, what a good
// one sends to, and the stored list as both programs read it.
#include "common/ExtraAddresses.h"
#include "common/ExtraDestinations.h"
#include "common/Ini.h"
#include "common/Log.h"
#include "common/SettingsKeys.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestFiles.h"

#include <QNetworkInterface>
#include <QTest>

using namespace ExtraAddresses;

namespace {

// Where each entry goes: the name to look up, or the address sent to.
QString destinations(const QList<Entry>& entries)
{
    QStringList out;
    for (const Entry& e : entries)
        out << (e.hostName.isEmpty() ? e.destination.toString() : e.hostName);
    return out.join(',');
}

QStringList sentTo()
{
    QStringList addresses;
    sendToExtraAddresses([&](const QString& address) { addresses << address; });
    return addresses;
}

void storeText(const QString& text)
{
    QVERIFY(WriteIni(SettingsKeys::lanSection, SettingsKeys::extraAddresses, text));
}

} // namespace

class ExtraAddressesTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempProgramDir> m_dir;

    QString log() const { return QString::fromUtf8(fileBytes(m_dir->file("Kalvex.log"))); }

private slots:
    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        StartLogging(QStringLiteral("Kalvex.log"));
    }
    void cleanup() { m_dir.reset(); }

    // A good list's entries as stored and where they go; a bad entry refuses the list, naming
    // why, while the good ones are still taken.
    void parse_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("goesTo");
        QTest::addColumn<QString>("refusal"); // a word of the refusal; empty: none
        const auto row = [](const char* name, const QString& typed, const QString& stored,
                            const QString& goesTo, const QString& refusal) {
            QTest::newRow(name) << typed << stored << goesTo << refusal;
        };
        row("subnet", "10.0.2.0/24", "10.0.2.0/24", "10.0.2.255", "");
        row("subnet with a host's bits", "10.0.2.7/24", "10.0.2.7/24", "10.0.2.255", "");
        row("widest subnet", "10.0.0.0/8", "10.0.0.0/8", "10.255.255.255", "");
        row("one host as a subnet", "10.1.2.3/32", "10.1.2.3/32", "10.1.2.3", "");
        row("address", "192.168.5.9", "192.168.5.9", "192.168.5.9", "");
        row("leading zeros", "010.001.002.003", "10.1.2.3", "10.1.2.3", "");
        row("name", "Host-B.Example.ORG.", "host-b.example.org", "host-b.example.org", "");
        row("commas and blanks", " a , b\tc,,", "a,b,c", "a,b,c", "");
        row("empty", "", "", "", "");
        row("prefix too short", "10.0.0.0/7", "", "", "בין 8 ל-32");
        row("prefix too long", "10.0.0.0/33", "", "", "בין 8 ל-32");
        row("three octets", "10.0.2", "", "", "אינה שם מחשב");
        row("octet too big", "10.0.256.1", "", "", "אינה שם מחשב");
        row("IPv6", "fe80::1", "", "", "אינה שם מחשב");
        row("underscore", "my_host", "", "", "אינה שם מחשב");
        row("hyphen first", "-host", "", "", "אינה שם מחשב");
        row("empty label", "host..example", "", "", "אינה שם מחשב");
        row("label too long", QString(64, 'a'), "", "", "אינה שם מחשב");
        row("loopback", "127.0.0.1", "", "", "loopback");
        row("loopback subnet", "127.1.0.0/16", "", "", "loopback");
        row("localhost", "LocalHost", "", "", "loopback");
        row("multicast", "224.0.0.251", "", "", "multicast");
        row("limited broadcast", "255.255.255.255", "", "", "multicast");
        row("unspecified", "0.0.0.0", "", "", "0.0.0.0");
        row("same text twice", "a,b,a", "a,b", "a,b", "פעמיים");
        row("same name in other case", "host,HOST", "host", "host", "פעמיים");
        row("same destination", "10.0.2.0/24,10.0.2.255", "10.0.2.0/24", "10.0.2.255",
            "אותה כתובת");
        row("good ones kept", "a,10.0.2,b", "a,b", "a,b", "אינה שם מחשב");
        QStringList many;
        for (int i = 1; i <= kMaxEntries + 1; ++i)
            many << QStringLiteral("10.0.%1.1").arg(i);
        row("one too many", many.join(','), QStringList(many.mid(0, kMaxEntries)).join(','),
            QStringList(many.mid(0, kMaxEntries)).join(','), "עד 32");
    }
    void parse()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, goesTo);
        QFETCH(QString, refusal);
        const Parsed parsed = ExtraAddresses::parse(typed);
        QCOMPARE(joined(parsed.entries), stored);
        QCOMPARE(destinations(parsed.entries), goesTo);
        QCOMPARE(parsed.refusal.isEmpty(), refusal.isEmpty());
        QVERIFY2(parsed.refusal.contains(refusal), qPrintable(parsed.refusal));
    }

    // The whole list comes back, longer than the settings file's old 79-character values; a
    // stored list with a bad entry still sends to the good ones and is logged once.
    void storedList()
    {
        QStringList names;
        for (int i = 0; i < kMaxEntries; ++i)
            names << QStringLiteral("colleague-%1.branch.example").arg(i);
        storeText(names.join(','));
        QCOMPARE(storedText(), names.join(','));
        QCOMPARE(stored().size(), kMaxEntries);
        storeText("203.0.113.0/24,127.0.0.1,198.51.100.7");
        QCOMPARE(sentTo(), QStringList({"203.0.113.255", "198.51.100.7"}));
        QCOMPARE(sentTo(), QStringList({"203.0.113.255", "198.51.100.7"}));
        QCOMPARE(log().count("ExtraAddresses: "), 1);
    }

    // A subnet of this machine's own is reached by the LAN's broadcast already: sending there
    // again would deliver everything twice.
    void ownSubnetIsNotSentToTwice()
    {
        QString own;
        for (const QNetworkInterface& nic : QNetworkInterface::allInterfaces())
            for (const QNetworkAddressEntry& entry : nic.addressEntries())
                if (!entry.broadcast().isNull() && own.isEmpty())
                    own = entry.ip().toString() + '/' + QString::number(entry.prefixLength());
        if (own.isEmpty())
            QSKIP("this machine has no network with a broadcast address");
        storeText(own + ",198.51.100.7");
        QCOMPARE(sentTo(), QStringList({"198.51.100.7"}));
    }
};

QTEST_GUILESS_MAIN(ExtraAddressesTest)
#include "tst_extra_addresses.moc"
