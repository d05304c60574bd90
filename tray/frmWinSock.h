#pragma once

#include <QAbstractSocket>
#include <QObject>

class QUdpSocket;

// The LAN receiver: one UDP socket bound to the LAN port ("Port" of
// "LAN_Settings", default 217) on every local address. Each datagram is
// handed, as the text it carries, to Kalvex's MsgProcess and logged as
// "DataArrival: <text>"; Tolvane never looks into it.
class frmWinSock : public QObject
{
    Q_OBJECT
public:
    // Reads the port and binds. A port that is no number or cannot be bound
    // (taken, or below 1024 without the capability) throws Failure, and no
    // receiver stays loaded.
    static void load();
    static void unload();
    static frmWinSock* instance(); // nullptr when not loaded

    quint16 port() const;

private:
    frmWinSock();
    void bindPort(quint16 port);
    void Winsock1_DataArrival();
    void Winsock1_Error(QAbstractSocket::SocketError error);

    QUdpSocket* Winsock1;
};
