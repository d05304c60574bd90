#include "tests/support/MosquittoBroker.h"

#include "tests/support/E2eSession.h"

#include <QFile>
#include <QTextStream>

MosquittoBroker::MosquittoBroker(Options options) : m_options(std::move(options)) {}

MosquittoBroker::~MosquittoBroker()
{
    stop();
}

bool MosquittoBroker::run(const QString& program, const QStringList& args, QString* error)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    *error = program + ' ' + args.join(' ') + ": " + QString::fromLocal8Bit(process.readAll());
    return false;
}

bool MosquittoBroker::makeServerCertificate(const QString& name, const QStringList& hosts,
                                            QString* error)
{
    const auto file = [&](const char* suffix) { return m_dir.filePath(name + suffix); };
    QStringList names;
    for (const QString& host : hosts)
        names << "DNS:" + host << (host.front().isDigit() ? "IP:" + host : QString());
    names.removeAll(QString());
    QFile extensions(file(".cnf"));
    if (!extensions.open(QIODevice::WriteOnly))
        return false;
    extensions.write(("subjectAltName=" + names.join(',') + '\n').toUtf8());
    extensions.close();
    return run("openssl",
               {"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=" + hosts.value(0), "-keyout",
                file(".key"), "-out", file(".csr")},
               error) &&
           run("openssl",
               {"x509", "-req", "-in", file(".csr"), "-CA", caFile(), "-CAkey",
                m_dir.filePath("ca.key"), "-CAcreateserial", "-days", "2", "-extfile", file(".cnf"),
                "-out", file(".crt")},
               error);
}

bool MosquittoBroker::makeCertificates(QString* error)
{
    return run("openssl",
               {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                "/CN=Test office CA", "-keyout", m_dir.filePath("ca.key"), "-out", caFile()},
               error) &&
           makeServerCertificate("server", m_options.certificateNames, error) &&
           makeServerCertificate("other", {"other.example"}, error);
}

bool MosquittoBroker::makeOtherAuthority(QString* path, QString* error)
{
    *path = m_dir.filePath("other-ca.crt");
    return run("openssl",
               {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                "/CN=Another CA", "-keyout", m_dir.filePath("other-ca.key"), "-out", *path},
               error);
}

bool MosquittoBroker::writeFiles(QString* error)
{
    const QString passwords = m_dir.filePath("passwd");
    for (auto user = m_options.passwords.cbegin(); user != m_options.passwords.cend(); ++user)
        if (!run("mosquitto_passwd",
                 QStringList{QFile::exists(passwords) ? "-b" : "-c", "-b", passwords, user.key(),
                             user.value()}
                     .mid(QFile::exists(passwords) ? 1 : 0),
                 error))
            return false;
    QFile acl(m_dir.filePath("acl"));
    QFile conf(m_dir.filePath("mosquitto.conf"));
    if (!acl.open(QIODevice::WriteOnly) || !conf.open(QIODevice::WriteOnly))
        return false;
    acl.write("pattern write veltrum/all/%u\npattern write veltrum/to/+/%u\n"
              "pattern write veltrum/relay/%u/+\npattern write veltrum/via/+/+/%u\n"
              "pattern read veltrum/all/#\npattern read veltrum/to/%u/#\n"
              "pattern read veltrum/relay/#\npattern read veltrum/via/%u/#\n");
    QTextStream out(&conf);
    out << "user root\nper_listener_settings false\nallow_anonymous false\n"
        << "password_file " << passwords << "\nacl_file " << acl.fileName() << '\n'
        << "persistence true\npersistence_location " << m_dir.path() << "/\n"
        << "log_dest file " << m_dir.filePath("mosquitto.log") << "\nlog_type all\n"
        << "connection_messages true\nmax_queued_messages 5000\n"
        << "listener " << m_options.port << ' ' << m_options.listenAddress << '\n';
    for (const QString name : {"server", "other"}) {
        if (!m_options.tlsPort)
            break;
        out << "listener " << m_options.tlsPort + (name == "other") << ' '
            << m_options.listenAddress << "\ncafile " << caFile() << "\ncertfile "
            << m_dir.filePath(name + ".crt") << "\nkeyfile " << m_dir.filePath(name + ".key")
            << '\n';
    }
    return true;
}

bool MosquittoBroker::start(QString* error)
{
    if (!m_dir.isValid() ||
        (m_options.tlsPort && !QFile::exists(caFile()) && !makeCertificates(error)) ||
        !writeFiles(error))
        return false;
    QStringList command = m_options.launcher;
    command << "mosquitto"
            << "-c" << m_dir.filePath("mosquitto.conf");
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(command.takeFirst(), command);
    const QString listening = QStringLiteral("Opening ipv4 listen socket on port %1")
                                  .arg(m_options.tlsPort ? m_options.tlsPort + 1 : m_options.port);
    if (E2eSession::waitFor([&] { return log().contains(listening); }, 15000))
        return true;
    *error = "mosquitto did not start: " + log() + QString::fromLocal8Bit(m_process.readAll());
    return false;
}

void MosquittoBroker::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

QString MosquittoBroker::log() const
{
    QFile file(m_dir.filePath("mosquitto.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool writeBrokerPassword(const E2eSession& s, const QByteArray& password)
{
    QFile file(s.userFile("data", "Kalvex.broker"));
    return file.open(QIODevice::WriteOnly) &&
           file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
           file.write(password + '\n') > 0;
}

bool useBroker(E2eSession& s, const QString& address, const QString& user,
               const QByteArray& password)
{
    s.setIniValue("Broker", "Address", address);
    s.setIniValue("Broker", "User", user);
    return writeBrokerPassword(s, password);
}
