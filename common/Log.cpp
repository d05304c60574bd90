#include "common/Log.h"

#include "platform/Clock.h"
#include "platform/ProgramDir.h"

#include <QFile>

#include <cstdio>

namespace {

QString g_logFileName;

// One entry is always one line: control characters become visible escapes,
// and the backslash is doubled so that escapes cannot be faked either.
QString escapeControls(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::LineSeparator ||
                c == QChar::ParagraphSeparator || c.unicode() == 0x85)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

} // namespace

void StartLogging(const QString& fileName)
{
    g_logFileName = fileName;
}

QString logEntryText(const QString& text)
{
    return formatLogStamp(Clock::now()) + QStringLiteral(" -> ") + escapeControls(text);
}

void WriteLog(const QString& text, short /*eventType*/)
{
    // Called from failure handlers, so nothing may escape from here.
    try {
        const QByteArray line = (logEntryText(text) + QLatin1Char('\n')).toUtf8();
        if (g_logFileName.isEmpty()) {
            std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
            return;
        }
        // Unbuffered append: the whole entry goes out in one write at the end.
        QFile f(ProgramDir::file(g_logFileName));
        if (f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            f.write(line);
    } catch (...) {
    }
}
