#pragma once

#include <QString>

// Event types of log entries.
enum LogEventType : short { LogError = 1, LogInformation = 4 };

// Directs this process's log to the named file of the program directory
// ("Kalvex.log", "Tolvane.log"). Until then entries go to standard error.
void StartLogging(const QString& fileName);

// Appends one entry: "dd/mm/yy HH:nn:ss " + " -> " + text, one line, control
// characters of the text escaped so a received text cannot forge entries.
// Never throws; a log that cannot be written is silently skipped.
//
// The log is bounded: a text longer than kMaxLogEntryChars is cut (the entry
// says how long it was), and a file that would grow past kLogRotateBytes is
// renamed to "<name>.1" (replacing the older one) and begun anew.
void WriteLog(const QString& text, short eventType);

inline constexpr qint64 kLogRotateBytes = 10 * 1024 * 1024;
inline constexpr int kMaxLogEntryChars = 1000;

// The entry text as written (without the line end), for the given text.
QString logEntryText(const QString& text);

// While one lives, entries are folded by kind (the text up to its first
// ": "): of each kind only the first kLogFoldAllowance entries between two
// summaries are written, the others are counted and told in one line of the
// next summary. Work driven from outside (received datagrams) runs under
// one, so a flood of them cannot fill the disk.
class LogFolding
{
public:
    LogFolding();
    ~LogFolding();
    LogFolding(const LogFolding&) = delete;
    LogFolding& operator=(const LogFolding&) = delete;
};

inline constexpr int kLogFoldAllowance = 20;

// Counts n events for the summary, which writes one entry per summary text
// and source: the text with %1 the count and %2 the source ("dropped %1
// datagrams from %2").
void CountForLog(const QString& summary, const QString& source, qint64 n = 1);

// The summary: once a minute, while there is something to tell, and when
// the program ends. Writes what LogFolding and CountForLog kept back.
void WriteLogSummary();
inline constexpr int kLogSummaryMs = 60 * 1000;
