#pragma once

#include <QString>
#include <QStringList>

// The text of a Windows profile (INI) file: "[section]" headers and
// "key=value" lines. Names match case-insensitively; values are trimmed as
// Windows' profile functions trim them. Lines it does not understand are kept
// as they are when the file is written back.
class ProfileFile
{
public:
    explicit ProfileFile(const QString& text = QString());

    // Null when the section or key is absent.
    QString value(const QString& section, const QString& key) const;
    // Throws Failure for a name or value that would not read back as written
    // (line breaks, "]" in a section, "=" in a key, a key starting "[" or ";").
    void setValue(const QString& section, const QString& key, const QString& value);
    QString text() const;

private:
    int findSection(const QString& section) const; // index of the header line, -1 if none
    int sectionEnd(int header) const;              // index after the section's last line

    QStringList m_lines;
};
