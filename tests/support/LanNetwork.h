#pragma once

#include <QString>
#include <QStringList>

// A LAN of its own for end-to-end tests: one network namespace per host, each
// with one interface on a bridge that lives in a namespace of its own,
// addresses 198.18.0.1, .2, ... (/24) and its default route on that
// interface, so datagrams to 255.255.255.255 reach the other hosts and
// nothing else. The machine's own network is never touched. Needs root;
// everything is removed again by the destructor.
class LanNetwork
{
public:
    explicit LanNetwork(int hosts);
    ~LanNetwork();
    LanNetwork(const LanNetwork&) = delete;
    LanNetwork& operator=(const LanNetwork&) = delete;

    // Why this machine cannot make one (empty when it can).
    static QString unavailableReason();

    bool isReady() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString address(int host) const; // "198.18.0.<host + 1>"
    // Runs a program inside the host's namespace (E2eOptions::launcher).
    QStringList launcher(int host) const;

private:
    QString hostName(int host) const;
    bool ip(const QStringList& args);

    QString m_prefix;
    int m_hosts;
    QString m_error;
};
