#include "store/LikePattern.h"

#include "platform/Failure.h"
#include "store/SqlValue.h"

namespace {

Failure invalidPattern()
{
    return Failure(QStringLiteral("Invalid pattern string"), 3036);
}

} // namespace

LikePattern::LikePattern(const QString& pattern)
{
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        Element e;
        if (c == QLatin1Char('*'))
            e.kind = Element::AnyRun;
        else if (c == QLatin1Char('?'))
            e.kind = Element::AnyOne;
        else if (c == QLatin1Char('#'))
            e.kind = Element::Digit;
        else if (c == QLatin1Char('[')) {
            parseSet(pattern, i);
            continue;
        } else
            e.ch = c.toCaseFolded();
        m_elements.append(e);
    }
}

// From the [ at i to its ]; i is left on the ]. "[]" stands for nothing.
void LikePattern::parseSet(const QString& pattern, qsizetype& i)
{
    const qsizetype close = pattern.indexOf(QLatin1Char(']'), i + 1);
    if (close < 0)
        throw invalidPattern();
    QString list = pattern.mid(i + 1, close - i - 1);
    i = close;
    if (list.isEmpty())
        return;
    Element e;
    e.kind = Element::Set;
    if (list.size() > 1 && list[0] == QLatin1Char('!')) {
        e.negated = true;
        list.remove(0, 1);
    }
    for (qsizetype k = 0; k < list.size(); ++k) {
        const QChar from = list[k].toCaseFolded();
        // A hyphen between two characters makes a range; first or last it is itself.
        if (k + 2 < list.size() && list[k + 1] == QLatin1Char('-')) {
            const QChar to = list[k + 2].toCaseFolded();
            if (to < from)
                throw invalidPattern();
            e.ranges.append({from, to});
            k += 2;
        } else {
            e.ranges.append({from, from});
        }
    }
    m_elements.append(e);
}

bool LikePattern::Element::accepts(QChar c) const
{
    switch (kind) {
    case Char:
        return c == ch;
    case AnyOne:
        return true;
    case Digit:
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    case Set: {
        bool in = false;
        for (const auto& [from, to] : ranges)
            in = in || (c >= from && c <= to);
        return in != negated;
    }
    case AnyRun:
        break;
    }
    return false;
}

// Every element but * takes exactly one character, so on a mismatch it is
// enough to let the last * take one character more.
bool LikePattern::matches(const QString& text) const
{
    const QString folded = text.toCaseFolded();
    qsizetype e = 0, t = 0;
    qsizetype starElement = -1, starText = 0;
    while (t < folded.size()) {
        if (e < m_elements.size() && m_elements[e].kind == Element::AnyRun) {
            starElement = e++;
            starText = t;
        } else if (e < m_elements.size() && m_elements[e].accepts(folded[t])) {
            ++e;
            ++t;
        } else if (starElement >= 0) {
            e = starElement + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (e < m_elements.size() && m_elements[e].kind == Element::AnyRun)
        ++e;
    return e == m_elements.size();
}

RowCursor::FieldTest likeTest(const QString& pattern)
{
    return [like = LikePattern(pattern)](const QVariant& value) {
        return !isSqlNull(value) && like.matches(value.toString());
    };
}
