#include "common/ActivationFile.h"

#include "common/KalvexBus.h"
#include "platform/XdgDirs.h"

#include <QDir>
#include <QFile>

namespace {

const QString kServicesFolder = QStringLiteral("/dbus-1/services/");

QString fileName()
{
    return KalvexBus::serviceName + QStringLiteral(".service");
}

// The bus splits Exec like a shell: single quotes keep everything literal.
QString quotedForExec(const QString& path)
{
    static const QString plain =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+,:@%");
    bool needsQuotes = path.isEmpty();
    for (QChar c : path)
        needsQuotes = needsQuotes || !plain.contains(c);
    if (!needsQuotes)
        return path;
    QString escaped = path;
    escaped.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

// The bus's own splitting, for what quotedForExec writes: one argument,
// plain or in single quotes, '\'' standing for a quote.
std::optional<QString> unquoted(const QString& exec)
{
    QString program;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == QLatin1Char('\'') && quoted)
            quoted = false;
        else if (c == QLatin1Char('\'') && !quoted)
            quoted = true;
        else if (c == QLatin1Char('\\') && !quoted && i + 1 < exec.size())
            program += exec[++i];
        else if (c.isSpace() && !quoted)
            return std::nullopt; // arguments follow
        else
            program += c;
    }
    if (quoted || program.isEmpty())
        return std::nullopt;
    return program;
}

} // namespace

namespace ActivationFile {

QString path()
{
    return XdgDirs::dataHome() + kServicesFolder + fileName();
}

std::optional<QString> systemWide()
{
    // The bus adds its own data folder after those of XDG_DATA_DIRS.
    QStringList dirs = XdgDirs::dataDirs();
    if (!dirs.contains(QStringLiteral("/usr/share")))
        dirs << QStringLiteral("/usr/share");
    for (const QString& dir : dirs)
        if (const QString file = dir + kServicesFolder + fileName(); QFile::exists(file))
            return file;
    return std::nullopt;
}

std::optional<QString> inForce()
{
    if (QFile::exists(path()))
        return path();
    return systemWide();
}

QString textFor(const QString& programDir)
{
    const QString executable =
        QDir::cleanPath(QDir(programDir).absoluteFilePath(QStringLiteral("Kalvex")));
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2\n")
        .arg(KalvexBus::serviceName, quotedForExec(executable));
}

bool starts(const std::optional<QString>& file, const QString& programDir)
{
    QFile f(file.value_or(QString()));
    return file && f.open(QIODevice::ReadOnly) &&
           QString::fromUtf8(f.readAll()) == textFor(programDir);
}

std::optional<QString> programOf(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Exec=")))
            return unquoted(line.mid(5).trimmed());
    return std::nullopt;
}

bool startsAnotherKalvex(const QString& programDir)
{
    const std::optional<QString> file = inForce();
    return file && !starts(file, programDir);
}

} // namespace ActivationFile
