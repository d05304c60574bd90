#include "PrivateCups.h"
#include "E2eSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <sys/prctl.h>

namespace {

void writeFile(const QString& path, const QString& text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text.toUtf8());
}

} // namespace

PrivateCups::PrivateCups() = default;
PrivateCups::~PrivateCups() = default;

bool PrivateCups::run(const QString& program, const QStringList& args, QString* error) const
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool ok =
        p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok && error)
        *error = program + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAll());
    return ok;
}

bool PrivateCups::start(QString* error)
{
    const QString root = m_dir.path();
    const QString socket = m_dir.filePath(QStringLiteral("cups.sock"));
    for (const char* sub : {"spool", "state", "cache", "log", "tmp"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    // The filters run as an unprivileged user and need a temporary directory.
    QFile::setPermissions(m_dir.filePath(QStringLiteral("tmp")), QFileDevice::Permissions(0x7777));
    QFile::setPermissions(root, QFileDevice::Permissions(0x7755));
    writeFile(m_dir.filePath(QStringLiteral("cupsd.conf")),
              QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\nBrowsing Off\n"
                             "DefaultAuthType None\n<Policy default>\n  JobPrivateAccess all\n"
                             "  JobPrivateValues none\n  SubscriptionPrivateAccess all\n"
                             "  SubscriptionPrivateValues none\n  <Limit All>\n"
                             "    Order deny,allow\n  </Limit>\n</Policy>\n")
                  .arg(socket));
    writeFile(m_dir.filePath(QStringLiteral("cups-files.conf")),
              QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\n"
                             "StateDir %1/state\nCacheDir %1/cache\nErrorLog %1/log/error_log\n"
                             "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                             "FileDevice Yes\nSystemGroup root\n")
                  .arg(root));

    qputenv("CUPS_SERVER", socket.toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    m_cupsd = std::make_unique<QProcess>();
    m_cupsd->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_cupsd->setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd->start(QStringLiteral("cupsd"),
                   {QStringLiteral("-f"), QStringLiteral("-c"),
                    m_dir.filePath(QStringLiteral("cupsd.conf")), QStringLiteral("-s"),
                    m_dir.filePath(QStringLiteral("cups-files.conf"))});
    const bool ready = E2eSession::waitFor(
        [&] {
            return m_cupsd->state() == QProcess::NotRunning ||
                   (QFileInfo::exists(socket) &&
                    run(QStringLiteral("lpstat"), {QStringLiteral("-r")}));
        },
        15000);
    if (!ready || m_cupsd->state() == QProcess::NotRunning) {
        *error =
            QStringLiteral("cupsd did not come up: ") + QString::fromLocal8Bit(m_cupsd->readAll());
        return false;
    }
    return true;
}

bool PrivateCups::addPdfPrinter(const QString& name, bool asDefault, QString* error)
{
    return run(QStringLiteral("lpadmin"),
               {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                QStringLiteral("file://") + pdfPath(), QStringLiteral("-m"),
                QStringLiteral("lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd")},
               error) &&
           (!asDefault || run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name}, error));
}

QStringList PrivateCups::takePrintedLines(int timeoutMs)
{
    // lpstat -o lists the jobs not yet completed.
    const auto jobsDone = [&] {
        QProcess p;
        p.start(QStringLiteral("lpstat"), {QStringLiteral("-o")});
        return p.waitForFinished(10000) && p.exitCode() == 0 && p.readAll().trimmed().isEmpty();
    };
    if (!E2eSession::waitFor(jobsDone, timeoutMs) || !QFileInfo(pdfPath()).size())
        return {};
    QProcess p;
    p.start(QStringLiteral("mutool"),
            {QStringLiteral("draw"), QStringLiteral("-q"), QStringLiteral("-F"),
             QStringLiteral("stext"), QStringLiteral("-o"), QStringLiteral("-"), pdfPath()});
    p.waitForFinished(20000);
    QFile::remove(pdfPath());
    return readingOrder(QString::fromUtf8(p.readAllStandardOutput()));
}

// mutool's structured text gives every character (blanks too) with its
// place on the page. A line is read from its right end to its left; runs of
// digits and Latin letters, which run left to right, are turned back.
QStringList PrivateCups::readingOrder(const QString& stext)
{
    static const QRegularExpression character(
        QStringLiteral("<char [^>]* x=\"([\\d.]+)\" y=\"([\\d.]+)\" [^>]*c=\"([^\"]*)\"/>"));
    static const QRegularExpression leftToRight(QStringLiteral("[0-9A-Za-z]+([/:.][0-9A-Za-z]+)*"));
    QMap<qint64, QMap<double, QString>> lines; // by page and baseline, then by -x
    qint64 page = 0;
    for (const QString& chunk : stext.split(QStringLiteral("<page "))) {
        for (auto it = character.globalMatch(chunk); it.hasNext();) {
            const auto m = it.next();
            QString c = m.captured(3);
            if (c.startsWith(QStringLiteral("&#x")))
                c = QChar(c.mid(3, c.size() - 4).toUInt(nullptr, 16));
            else
                c.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                    .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                    .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
                    .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
                    .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            // A font may give the separator U+05C3 no width (as a mark): it
            // then shares its place with the character read before it.
            QString& at = lines[page * 1000000 + qRound64(m.captured(2).toDouble() * 10)]
                               [-m.captured(1).toDouble()];
            if (c == QChar(0x05C3))
                at.append(c);
            else
                at.prepend(c);
        }
        ++page;
    }
    QStringList result;
    for (const auto& line : std::as_const(lines)) {
        QString text;
        for (const QString& c : line)
            text += c;
        for (auto it = leftToRight.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            QString run = m.captured();
            std::reverse(run.begin(), run.end());
            text.replace(m.capturedStart(), run.size(), run);
        }
        result << text;
    }
    return result;
}
