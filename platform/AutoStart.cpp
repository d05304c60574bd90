#include "platform/AutoStart.h"

#include "platform/Failure.h"
#include "platform/XdgDirs.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

const QString kGroup = QStringLiteral("[Desktop Entry]");

// A value of a desktop entry: backslash, tab, CR and LF written as escapes.
QString escapeValue(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString unescapeValue(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        out += next == u's'   ? QChar(u' ')
               : next == u'n' ? QChar(u'\n')
               : next == u't' ? QChar(u'\t')
               : next == u'r' ? QChar(u'\r')
                              : next;
    }
    return out;
}

// Exec holds the program as one quoted argument, so any path stays one
// argument; '%' is doubled, as field codes begin with it.
QString execOf(const QString& program)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c == u'%' ? QStringLiteral("%%") : QString(c);
    }
    return escapeValue(quoted + u'"');
}

std::optional<QString> programOf(const QString& exec)
{
    const QString text = unescapeValue(exec);
    QString program;
    if (!text.startsWith(u'"')) {
        if (text.isEmpty() || text.contains(u' ') || text.contains(u'\t'))
            return std::nullopt;
        program = text;
    } else {
        qsizetype i = 1;
        for (; i < text.size() && text[i] != u'"'; ++i) {
            if (text[i] == u'\\' && i + 1 < text.size())
                ++i;
            program += text[i];
        }
        if (i != text.size() - 1)
            return std::nullopt; // unterminated, or arguments follow
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

QString autostartDir()
{
    return XdgDirs::configHome() + QStringLiteral("/autostart");
}

QString fileName(const QString& name)
{
    return QLatin1Char('/') + name + QStringLiteral(".desktop");
}

// The first entry of that name that the system gives every user.
std::optional<QString> systemEntry(const QString& name)
{
    for (const QString& dir : XdgDirs::configDirs())
        if (const QString path = dir + QStringLiteral("/autostart") + fileName(name);
            QFile::exists(path))
            return path;
    return std::nullopt;
}

std::optional<QString> programIn(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    bool inGroup = false;
    std::optional<QString> exec;
    bool hidden = false;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == kGroup;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inGroup || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Exec"))
            exec = value;
        else if (key == QLatin1String("Hidden"))
            hidden = value == QLatin1String("true");
    }
    if (!exec || hidden)
        return std::nullopt;
    return programOf(*exec);
}

void writeEntry(const QString& name, const QString& lines)
{
    if (!QDir().mkpath(autostartDir()))
        throw Failure(QStringLiteral("Cannot create ") + autostartDir());
    QSaveFile file(AutoStart::entryPath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        throw Failure(file.errorString());
    const QString text = kGroup + QStringLiteral("\nType=Application\nName=") + escapeValue(name) +
                         QLatin1Char('\n') + lines;
    file.write(text.toUtf8());
    if (!file.commit())
        throw Failure(file.errorString());
}

void removeEntry(const QString& name)
{
    QFile file(AutoStart::entryPath(name));
    if (file.exists() && !file.remove())
        throw Failure(file.errorString());
}

} // namespace

namespace AutoStart {

QString entryPath(const QString& name)
{
    return autostartDir() + fileName(name);
}

std::optional<QString> usersProgram(const QString& name)
{
    return programIn(entryPath(name));
}

std::optional<QString> program(const Entry& entry)
{
    if (QFile::exists(entryPath(entry.name)))
        return usersProgram(entry.name);
    if (QFile::exists(entryPath(entry.systemName)))
        return usersProgram(entry.systemName);
    const std::optional<QString> system = systemEntry(entry.systemName);
    return system ? programIn(*system) : std::nullopt;
}

void set(const Entry& entry, const QString& program, const QString& icon)
{
    const std::optional<QString> system = systemEntry(entry.systemName);
    if (system && programIn(*system) == program) {
        removeEntry(entry.name);
        return removeEntry(entry.systemName);
    }
    writeEntry(entry.name, QStringLiteral("Exec=") + execOf(program) + QStringLiteral("\nIcon=") +
                               escapeValue(icon) + QStringLiteral("\nTerminal=false\n"));
    if (system && entry.systemName != entry.name)
        writeEntry(entry.systemName, QStringLiteral("Hidden=true\n"));
}

void remove(const Entry& entry)
{
    removeEntry(entry.name);
    if (systemEntry(entry.systemName))
        writeEntry(entry.systemName, QStringLiteral("Hidden=true\n"));
}

} // namespace AutoStart
