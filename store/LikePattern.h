#pragma once

#include "store/RowCursor.h"

#include <QList>
#include <QString>

// A pattern of the record sets' Like criterion: * any run of characters, ? any one
// character, # one digit, [list] one character of the list ([!list] one not
// in it, a-z a range; [*] [?] [#] [[] the character itself; [] nothing).
// Letters match without regard to case, as the record sets' finds compare text.
class LikePattern
{
public:
    // Throws Failure ("Invalid pattern string") for an unclosed [ or a range
    // that runs backwards.
    explicit LikePattern(const QString& pattern);

    bool matches(const QString& text) const;

private:
    struct Element
    {
        enum Kind { Char, AnyRun, AnyOne, Digit, Set } kind = Char;
        QChar ch; // Char, case-folded
        bool negated = false;
        QList<std::pair<QChar, QChar>>
            ranges;                  // Set, case-folded; a single character is a range of one
        bool accepts(QChar c) const; // c case-folded; AnyRun excluded
    };
    void parseSet(const QString& pattern, qsizetype& i);

    QList<Element> m_elements;
};

// The criterion "field Like pattern" as a test of a field's value; null
// matches nothing. Throws Failure for an invalid pattern.
RowCursor::FieldTest likeTest(const QString& pattern);
