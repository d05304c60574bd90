#include "common/Log.h"

#include "platform/Clock.h"
#include "platform/UserFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <map>
#include <utility>

namespace {

QString g_logFileName;
int g_foldingDepth = 0;

// Kinds and sources kept apart; beyond these, the rest share one line, so a
// peer that varies its texts or addresses cannot grow the summary either.
constexpr int kMaxKinds = 200;
constexpr int kMaxCountedSources = 1000;
constexpr qsizetype kMaxKindChars = 60;
const QString kOtherKinds = QStringLiteral("(other kinds)");
const QString kOtherSources = QStringLiteral("other sources");

// What waits for the next summary.
struct KeptBack
{
    QHash<QString, int> written;      // entries written per kind since the last summary
    std::map<QString, qint64> folded; // entries not written, per kind
    std::map<std::pair<QString, QString>, qint64> counted; // (summary, source)
};

KeptBack& keptBack()
{
    static KeptBack kept;
    return kept;
}

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

QString bounded(const QString& text)
{
    if (text.size() <= kMaxLogEntryChars)
        return text;
    qsizetype keep = kMaxLogEntryChars;
    if (text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QStringLiteral("… (%1 characters)").arg(text.size());
}

// The next file once this one would pass the bound; the older one goes.
void rotateIfFull(QFile& log, qint64 adding)
{
    if (log.size() == 0 || log.size() + adding <= kLogRotateBytes)
        return;
    const QString path = log.fileName();
    log.close();
    QFile::remove(path + QStringLiteral(".1"));
    QFile::rename(path, path + QStringLiteral(".1"));
    log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void appendEntry(const QString& text)
{
    const QByteArray line = (logEntryText(text) + QLatin1Char('\n')).toUtf8();
    if (g_logFileName.isEmpty()) {
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        return;
    }
    // Unbuffered append: the whole entry goes out in one write at the end.
    QFile f(UserFiles::stateFile(g_logFileName));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return;
    rotateIfFull(f, line.size());
    if (!f.isOpen())
        return;
    // A full disk may take part of the entry: the part goes, so the log
    // ends on a whole line.
    const qint64 before = f.size();
    if (f.write(line) != line.size())
        f.resize(before);
}

// The summary follows a minute after the first entry it may have to tell of.
void armSummary()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(app);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, [] { WriteLogSummary(); });
        qAddPostRoutine([] { WriteLogSummary(); });
    }
    if (!timer->isActive())
        timer->start(kLogSummaryMs);
}

QString kindOf(const QString& text)
{
    const qsizetype colon = text.indexOf(QLatin1String(": "));
    return colon >= 0 && colon <= kMaxKindChars ? text.left(colon) : text.left(40);
}

// False when the entry is folded into the summary instead of written.
bool writtenUnfolded(const QString& text)
{
    KeptBack& kept = keptBack();
    QString kind = kindOf(text);
    if (!kept.written.contains(kind) && kept.written.size() >= kMaxKinds)
        kind = kOtherKinds;
    armSummary();
    int& written = kept.written[kind];
    if (written < kLogFoldAllowance) {
        ++written;
        return true;
    }
    ++kept.folded[kind];
    return false;
}

} // namespace

void StartLogging(const QString& fileName)
{
    g_logFileName = fileName;
}

QString logEntryText(const QString& text)
{
    return formatLogStamp(Clock::now()) + QStringLiteral(" -> ") + escapeControls(bounded(text));
}

void WriteLog(const QString& text, short /*eventType*/)
{
    // Called from failure handlers, so nothing may escape from here.
    try {
        if (g_foldingDepth > 0 && !writtenUnfolded(text))
            return;
        appendEntry(text);
    } catch (...) {
    }
}

LogFolding::LogFolding()
{
    ++g_foldingDepth;
}

LogFolding::~LogFolding()
{
    --g_foldingDepth;
}

void CountForLog(const QString& summary, const QString& source, qint64 n)
{
    try {
        auto& counted = keptBack().counted;
        std::pair<QString, QString> key{summary, source};
        if (!counted.count(key) && counted.size() >= size_t(kMaxCountedSources))
            key.second = kOtherSources;
        counted[key] += n;
        armSummary();
    } catch (...) {
    }
}

void WriteLogSummary()
{
    try {
        KeptBack kept = std::exchange(keptBack(), KeptBack());
        for (const auto& [kind, n] : kept.folded)
            appendEntry(QStringLiteral("%1: %2 more entries of this kind in the last minute")
                            .arg(kind)
                            .arg(n));
        for (const auto& [key, n] : kept.counted)
            appendEntry(key.first.arg(QString::number(n), key.second));
    } catch (...) {
    }
}
