#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QProcess;

// A CUPS scheduler of the test's own: cupsd on a Unix socket in a temporary
// directory (it needs root), with CUPS_SERVER pointing this process and its
// children at it. Printers print into files of that directory. The
// scheduler dies with the object, or with the test process.
class PrivateCups
{
public:
    PrivateCups();
    ~PrivateCups(); // QProcess kills cupsd
    // Starts cupsd; false with the reason when it cannot.
    bool start(QString* error);
    // A PDF printer (CUPS's generic PDF driver) whose pages land in
    // pdfPath(); made the default printer when asked.
    bool addPdfPrinter(const QString& name, bool asDefault, QString* error);
    QString pdfPath() const { return m_dir.filePath(QStringLiteral("printed.pdf")); }
    // Waits until every job is done and gives the lines of the printed
    // document as a reader of Hebrew reads them on paper, from the right end
    // of each line to its left; then removes the file. Empty when nothing
    // was printed.
    QStringList takePrintedLines(int timeoutMs = 30000);

private:
    static QStringList readingOrder(const QString& structuredText);
    bool run(const QString& program, const QStringList& args, QString* error = nullptr) const;

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_cupsd;
};
