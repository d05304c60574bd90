#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A CUPS scheduler of the test's own: cupsd on a Unix socket in a temporary
// directory (it needs root), with CUPS_SERVER pointing this process and its
// children at it. Printers print into files of that directory. The
// scheduler dies with the object, or with the test process.
class PrivateCups
{
public:
    // Starts cupsd; false with the reason when it cannot.
    bool start(QString* error);
    // Makes the default printer a PDF printer (CUPS's generic PDF driver)
    // whose pages land in pdfPath().
    bool addDefaultPdfPrinter(QString* error);
    QString pdfPath() const { return m_dir.filePath("printed.pdf"); }
    // Waits until every job is done and gives the lines of the printed
    // document as a reader of Hebrew reads them on paper, from the right end
    // of each line to its left; then removes the file. Empty when nothing
    // was printed.
    QStringList takePrintedLines(int timeoutMs = 30000);

private:
    static QStringList readingOrder(const QString& structuredText);
    bool run(const QString& program, const QStringList& args, QString* error = nullptr) const;

    QTemporaryDir m_dir;
    QProcess m_cupsd; // killed with the object
};
