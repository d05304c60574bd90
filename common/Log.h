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
void WriteLog(const QString& text, short eventType);

// The entry text as written (without the line end), for the given text.
QString logEntryText(const QString& text);
