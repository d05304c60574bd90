#include "common/ProfileFile.h"

#include "platform/Failure.h"

namespace {

bool isHeader(const QString& line, QString* name = nullptr)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool keyOf(const QString& line, QString* key, QString* value)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0 || line.trimmed().startsWith(QLatin1Char(';')))
        return false;
    *key = line.left(eq).trimmed();
    QString v = line.mid(eq + 1).trimmed();
    // Windows' profile functions drop one pair of surrounding quotes; so do we.
    if (v.size() >= 2 &&
        ((v.startsWith('"') && v.endsWith('"')) || (v.startsWith('\'') && v.endsWith('\''))))
        v = v.mid(1, v.size() - 2);
    *value = v;
    return !key->isEmpty();
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString& s)
{
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

// A line break in a value would let the text forge further keys or sections,
// and names that the reader would parse differently could never be read back.
void checkWritable(const QString& section, const QString& key, const QString& value)
{
    const QString s = section.trimmed();
    const QString k = key.trimmed();
    if (s.isEmpty() || hasLineBreak(section) || section.contains(QLatin1Char(']')))
        throw Failure(QStringLiteral("invalid section name \"%1\"").arg(section));
    if (k.isEmpty() || hasLineBreak(key) || key.contains(QLatin1Char('=')) ||
        k.startsWith(QLatin1Char('[')) || k.startsWith(QLatin1Char(';')))
        throw Failure(QStringLiteral("invalid key name \"%1\"").arg(key));
    if (hasLineBreak(value))
        throw Failure(QStringLiteral("line break in the value of %1").arg(key));
}

} // namespace

ProfileFile::ProfileFile(const QString& text)
{
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_lines = normalized.split(QLatin1Char('\n'));
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

int ProfileFile::findSection(const QString& section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i)
        if (isHeader(m_lines[i], &name) && sameName(name, section))
            return i;
    return -1;
}

int ProfileFile::sectionEnd(int header) const
{
    int i = header + 1;
    while (i < m_lines.size() && !isHeader(m_lines[i]))
        ++i;
    return i;
}

QString ProfileFile::value(const QString& section, const QString& key) const
{
    const int header = findSection(section);
    if (header < 0)
        return QString();
    QString k, v;
    for (int i = header + 1, end = sectionEnd(header); i < end; ++i)
        if (keyOf(m_lines[i], &k, &v) && sameName(k, key))
            return v.isNull() ? QString(QLatin1String("")) : v;
    return QString();
}

void ProfileFile::setValue(const QString& section, const QString& key, const QString& value)
{
    checkWritable(section, key, value);
    const QString line = key + QLatin1Char('=') + value;
    int header = findSection(section);
    if (header < 0) {
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(line);
        return;
    }
    const int end = sectionEnd(header);
    QString k, v;
    int lastContent = header;
    for (int i = header + 1; i < end; ++i) {
        if (keyOf(m_lines[i], &k, &v) && sameName(k, key)) {
            m_lines[i] = line;
            return;
        }
        if (!m_lines[i].trimmed().isEmpty())
            lastContent = i;
    }
    m_lines.insert(lastContent + 1, line);
}

QString ProfileFile::text() const
{
    QString out;
    for (const QString& l : m_lines)
        out += l + QLatin1String("\r\n");
    return out;
}
