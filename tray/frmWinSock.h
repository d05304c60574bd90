#pragma once

#include "platform/Failure.h"

#include <QAbstractSocket>
#include <QObject>

#include <optional>

class BrokerReceiver;
class LanHandOver;
class QTimer;
class QUdpSocket;

// The LAN receiver: one UDP socket bound to the LAN port ("Port" of
// "LAN_Settings", default 217) on every local address. Each datagram is
// logged as "DataArrival: <text>" (its beginning, common/LanText.h) and
// handed, as the text it carries and with the address it came from, to
// Kalvex through LanHandOver; Tolvane never looks into it. While receiving
// is on it announces itself (LanAnnounce) once bound and after a resume.
//
// Reading empties the socket at once, so a burst finds room in its buffer,
// but gives way to the event loop after kReadSliceMs, so the clock and the
// hand-over go on during a flood; datagrams the system drops meanwhile (the
// buffer full) are counted in the log's summary. A relay (BrokerRelay) sees
// each datagram first.
// A port the receiver could not bind: the description for the log, and the
// same told to the user in Hebrew.
class PortRefused : public Failure
{
public:
    PortRefused(const QString& description, QString toUser)
        : Failure(description), m_toUser(std::move(toUser))
    {}
    const QString& toUser() const { return m_toUser; }

private:
    QString m_toUser;
};

class frmWinSock : public QObject
{
    Q_OBJECT
public:
    // Reads the port and binds. A port that is no number throws Failure; one
    // that cannot be bound (taken, as by the Tolvane of another user logged
    // on to this computer, or below 1024 without the capability) throws
    // PortRefused; the broker's receiver then stays loaded alone, when a
    // broker is set.
    static void load(bool receiving);
    static void unload();
    static frmWinSock* instance(); // nullptr when not loaded

    quint16 port() const;
    static QString whyNotBound(QAbstractSocket::SocketError error, quint16 port);
    LanHandOver* handOver() const { return m_handOver; }

    static constexpr int kReadSliceMs = 20;
    static constexpr int kDropsLookMs = 10000;

private:
    frmWinSock();
    void bindPort(quint16 port);
    void Winsock1_DataArrival();
    void Winsock1_Error(QAbstractSocket::SocketError error);
    void countSystemDrops();

    QUdpSocket* Winsock1;
    LanHandOver* m_handOver;
    BrokerReceiver* m_broker = nullptr;
    QTimer* m_dropsLook;
    std::optional<quint64> m_systemDrops; // as last looked at
    bool m_announces = false;
};
