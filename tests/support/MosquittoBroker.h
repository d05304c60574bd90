#pragma once

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class E2eSession;

// A real mosquitto for a test: its configuration, password file (made by
// mosquitto_passwd) and ACL in a temporary folder, the office's ACL (each
// user publishes only as itself, reads the office's topic and its own),
// persistent sessions, and everything logged to a file the test can read.
// With TLS, a throw-away certificate authority made by openssl signs the
// broker's certificate for the names given (listener tlsPort) and one for
// another name (listener tlsPort + 1).
class MosquittoBroker
{
public:
    struct Options
    {
        QStringList launcher;             // runs mosquitto where the test wants it
        QString listenAddress;            // dotted decimal
        quint16 port = 1883;              // plain listener
        quint16 tlsPort = 0;              // 0: none
        QStringList certificateNames;     // the names the broker's certificate is for
        QMap<QString, QString> passwords; // user -> password
    };

    explicit MosquittoBroker(Options options);
    ~MosquittoBroker();

    // Starts the broker and waits until it listens; false with why when not.
    bool start(QString* error);
    void stop();
    QString log() const;
    // The certificate authority's certificate (with a TLS listener).
    QString caFile() const { return m_dir.filePath(QStringLiteral("ca.crt")); }
    // A certificate authority the broker's certificate does not come from.
    bool makeOtherAuthority(QString* path, QString* error);

private:
    bool writeFiles(QString* error);
    bool makeCertificates(QString* error);
    bool makeServerCertificate(const QString& name, const QStringList& hosts, QString* error);
    bool run(const QString& program, const QStringList& args, QString* error);

    Options m_options;
    QTemporaryDir m_dir;
    QProcess m_process;
};

// The installation reaches the broker at the address ("mqtt://host:port") as the user, its
// password in the file of the user's alone that the programs read where there is no keyring.
bool useBroker(E2eSession& s, const QString& address, const QString& user,
               const QByteArray& password);
bool writeBrokerPassword(const E2eSession& s, const QByteArray& password);
