#include "platform/Date.h"
#include "platform/DisplayPlatform.h"
#include "platform/Failure.h"
#include "platform/SocketDrops.h"

#include <QProcessEnvironment>
#include <QTest>
#include <QUdpSocket>

#include <climits>
#include <functional>

static Date D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Date::fromParts(y, mo, d, h, mi, s);
}

class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    // Calendar steps clamp the day, and a clamped day stays so; wall-clock
    // arithmetic: daylight-saving changes (27 March, 25 October 2026) move nothing.
    void calendarArithmetic()
    {
        using Case = std::tuple<Date, int, int, Date>;
        for (const auto& [start, unit, count, expected] :
             {Case{D(2026, 1, 31, 10, 15), Date::Month, 1, D(2026, 2, 28, 10, 15)},
              Case{D(2026, 2, 28, 10, 15), Date::Month, 1, D(2026, 3, 28, 10, 15)},
              Case{D(2028, 2, 29, 9), Date::Year, 1, D(2029, 2, 28, 9)},
              Case{D(2026, 3, 27, 1), Date::Hour, 2, D(2026, 3, 27, 3)},
              Case{D(2026, 10, 25, 0, 30), Date::Hour, 2, D(2026, 10, 25, 2, 30)}})
            QVERIFY(start.add(unit, count) == expected);
        for (int i = 0; i < 7; ++i) // 4 January 2026 is a Sunday
            QCOMPARE(D(2026, 1, 4 + i, 23, 59).weekday(), i + 1);
        QCOMPARE(Date().weekday(), 7); // 30/12/1899 was a Saturday
    }

    // Wall-clock times of the change days survive QDateTime but the skipped hour (one later);
    // every instant reads as its local wall-clock time.
    void wallClockAcrossDaylightSaving()
    {
        for (const QDate day : {QDate(2026, 3, 27), QDate(2026, 10, 25)}) {
            for (int minute = 0; minute < 24 * 60; minute += 5) {
                const Date d = Date::fromParts(day, QTime(0, 0).addSecs(minute * 60));
                const bool inGap = day.month() == 3 && d.time().hour() == 2;
                QVERIFY(Date::fromQDateTime(d.toQDateTime()) == (inGap ? d.addHours(1) : d));
            }
            const QDateTime from(day.addDays(-1), QTime(20, 0), Qt::UTC);
            for (QDateTime u = from; u < from.addDays(1); u = u.addSecs(600)) {
                const QDateTime local = u.toLocalTime();
                QVERIFY(Date::fromQDateTime(u) == Date::fromParts(local.date(), local.time()));
            }
        }
        // A known reading of the zone, so the loops are not vacuous.
        QVERIFY(Date::fromQDateTime(QDateTime(QDate(2026, 3, 27), QTime(0, 0), Qt::UTC)) ==
                D(2026, 3, 27, 3, 0));
    }

    void serialNumbersAndFixedFormats()
    {
        const std::pair<Date, double> serials[] = {
            {D(1899, 12, 29, 6), -1.25},
            {D(2026, 12, 5, 21, 59, 7), 46361.0 + 79147.0 / 86400},
            {D(9999, 12, 31, 23, 59, 59), 2958465.0 + 86399.0 / 86400}};
        for (const auto& [date, serial] : serials) {
            QCOMPARE(date.serial(), serial);
            QVERIFY(Date::fromSerial(serial) == date);
        }
        const Date d = D(100, 3, 9, 7, 5, 3);
        QCOMPARE(formatDateTime(d), QString("09/03/0100 07:05"));
        QCOMPARE(formatDateOnly(d), QString("09/03/0100"));
        QCOMPARE(formatNextDate(d), QString("090301000705"));
        QCOMPARE(formatLogStamp(d), QString("09/03/00 07:05:03 "));
        QVERIFY(parseNextDate("090301000705").value() == d.withoutSeconds());
        for (const char* text :
             {"NULL", "05122026215", " 51220262159", "310220261200", "051220262400"})
            QVERIFY2(!parseNextDate(text).has_value(), text);
    }

    void leavingTheRangeThrows()
    {
        const Date last = D(9999, 12, 31, 23, 59);
        const std::pair<std::function<Date()>, QString> cases[] = {
            {[&] { return last.add(Date::Month, 1); }, "Overflow"},
            {[&] { return last.addSeconds(LLONG_MAX); }, "Overflow"},
            {[] { return D(2026, 2, 30); }, "Type mismatch"},
            {[&] { return last.add(6, 1); }, "Invalid procedure call or argument"},
        };
        for (const auto& [call, description] : cases) {
            try {
                call();
                QFAIL(qPrintable(description));
            } catch (const Failure& f) {
                QCOMPARE(f.description(), description);
            }
        }
    }

    // XWayland for the windows wherever the session has it, unless the user chose otherwise.
    void xwaylandWhereverTheSessionHasIt()
    {
        const std::pair<QStringList, QString> cases[] = {
            {{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}, "xcb"},
            {{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0"}, ""},
            {{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"}, ""}};
        for (const auto& [env, platform] : cases) {
            QProcessEnvironment e;
            for (const QString& pair : env)
                e.insert(pair.section('=', 0, 0), pair.section('=', 1));
            QCOMPARE(DisplayPlatform::forAlerts(e), platform);
        }
    }

    // What the system dropped for a socket whose buffer was full, as counted for that socket.
    void droppedDatagramsOfAFullSocketAreCounted()
    {
        QUdpSocket receiver, sender;
        QVERIFY(receiver.bind(QHostAddress::LocalHost, 0));
        receiver.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        QCOMPARE(udpSocketDrops(receiver.socketDescriptor()), std::optional<quint64>(0));
        for (int i = 0; i < 100; ++i)
            sender.writeDatagram(QByteArray(1000, 'x'), QHostAddress::LocalHost,
                                 receiver.localPort());
        QVERIFY(udpSocketDrops(receiver.socketDescriptor()).value_or(0) > 90);
        QCOMPARE(udpSocketDrops(-1), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "tst_platform.moc"
