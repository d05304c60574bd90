#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A CUPS scheduler of the test's own (needs root): cupsd on a Unix socket in a
// temporary directory, CUPS_SERVER pointing at it; dies with the object.
class PrivateCups
{
public:
    bool start(QString* error);
    // A default printer whose PDF pages land in pdfPath().
    bool addDefaultPdfPrinter(QString* error);
    QString pdfPath() const { return m_dir.filePath("printed.pdf"); }
    // Once every job is done, the printed lines as a Hebrew reader reads them
    // on paper (right to left); the file is then removed.
    QStringList takePrintedLines(int timeoutMs = 30000);

private:
    static QStringList readingOrder(const QString& structuredText);
    bool run(const QString& program, const QStringList& args, QString* error = nullptr) const;

    QTemporaryDir m_dir;
    QProcess m_cupsd;
};
