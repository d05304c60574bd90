#include "tests/support/PrivateCups.h"
#include "tests/support/E2eSession.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

bool PrivateCups::run(const QString& program, const QStringList& args, QString* error) const
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool ok =
        p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok && error)
        *error = program + ": " + QString::fromLocal8Bit(p.readAll());
    return ok;
}

bool PrivateCups::start(QString* error)
{
    const QString root = m_dir.path(), socket = m_dir.filePath("cups.sock");
    for (const char* sub : {"spool", "state", "cache", "log", "tmp"})
        QDir(root).mkpath(sub);
    // The filters run as an unprivileged user and need a temporary directory.
    QFile::setPermissions(m_dir.filePath("tmp"), QFileDevice::Permissions(0x7777));
    QFile::setPermissions(root, QFileDevice::Permissions(0x7755));
    writeBytes(root + "/cupsd.conf",
               "Listen " + socket.toUtf8() +
                   "\nLogLevel warn\nWebInterface No\nBrowsing Off\nDefaultAuthType None\n"
                   "<Policy default>\nJobPrivateAccess all\nJobPrivateValues none\n"
                   "SubscriptionPrivateAccess all\nSubscriptionPrivateValues none\n"
                   "<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n");
    writeBytes(root + "/cups-files.conf",
               QString("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nStateDir %1/state\n"
                       "CacheDir %1/cache\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                       "PageLog %1/log/page_log\nFileDevice Yes\nSystemGroup root\n")
                   .arg(root)
                   .toUtf8());
    qputenv("CUPS_SERVER", socket.toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    m_cupsd.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start("cupsd", {"-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"});
    const bool up = E2eSession::waitFor(
        [&] {
            return m_cupsd.state() == QProcess::NotRunning ||
                   (QFileInfo::exists(socket) && run("lpstat", {"-r"}));
        },
        15000);
    if (!up || m_cupsd.state() == QProcess::NotRunning)
        *error = "cupsd did not come up: " + QString::fromLocal8Bit(m_cupsd.readAll());
    return up && m_cupsd.state() != QProcess::NotRunning;
}

bool PrivateCups::addDefaultPdfPrinter(QString* error)
{
    return run("lpadmin",
               {"-p", "PDF", "-E", "-v", "file://" + pdfPath(), "-m",
                "lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd"},
               error) &&
           run("lpadmin", {"-d", "PDF"}, error);
}

QStringList PrivateCups::takePrintedLines(int timeoutMs)
{
    const auto jobsDone = [&] {
        QProcess p;
        p.start("lpstat", {"-o"});
        return p.waitForFinished(10000) && p.exitCode() == 0 && p.readAll().trimmed().isEmpty();
    };
    if (!E2eSession::waitFor(jobsDone, timeoutMs) || !QFileInfo(pdfPath()).size())
        return {};
    QProcess p;
    p.start("mutool", {"draw", "-q", "-F", "stext", "-o", "-", pdfPath()});
    p.waitForFinished(20000);
    QFile::remove(pdfPath());
    return readingOrder(QString::fromUtf8(p.readAllStandardOutput()));
}

// mutool's structured text places every character on the page; runs of digits
// and Latin letters are turned back to left to right.
QStringList PrivateCups::readingOrder(const QString& stext)
{
    static const QRegularExpression character(
        R"re(<char [^>]* x="([\d.]+)" y="([\d.]+)" [^>]*c="([^"]*)"/>)re");
    static const QRegularExpression leftToRight("[0-9A-Za-z]+([/:.][0-9A-Za-z]+)*");
    QMap<qint64, QMap<double, QString>> lines; // by page and baseline, then by -x
    qint64 page = 0;
    for (const QString& chunk : stext.split("<page ")) {
        for (auto it = character.globalMatch(chunk); it.hasNext();) {
            const auto m = it.next();
            QString c = m.captured(3);
            if (c.startsWith("&#x"))
                c = QChar(c.mid(3, c.size() - 4).toUInt(nullptr, 16));
            for (const auto& [entity, text] : {std::pair{"&lt;", "<"},
                                               {"&gt;", ">"},
                                               {"&quot;", "\""},
                                               {"&apos;", "'"},
                                               {"&amp;", "&"}})
                c.replace(entity, text);
            // Characters sharing a place (one drawn without a width) come out in the wrong order.
            lines[page * 1000000 + qRound64(m.captured(2).toDouble() * 10)]
                 [-m.captured(1).toDouble()]
                     .prepend(c);
        }
        ++page;
    }
    QStringList result;
    for (const auto& line : std::as_const(lines)) {
        QString text = QStringList(line.cbegin(), line.cend()).join(QString());
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
