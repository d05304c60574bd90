#pragma once

#include <QString>

#include <stdexcept>

// A failure inside one procedure. Procedures throw it from their helpers and
// trap it at their own top, where they log "<Name>: <description>" and leave
// (see Trapped.h); it never crosses a procedure that the system names.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString& description, int number = 0)
        : std::runtime_error(description.toStdString()), m_description(description),
          m_number(number)
    {}
    const QString& description() const { return m_description; }
    int number() const { return m_number; }

    // The failures that conversions and arithmetic share, each with a number
    // of its own.
    static Failure typeMismatch() { return Failure(QStringLiteral("Type mismatch"), 13); }
    static Failure overflow() { return Failure(QStringLiteral("Overflow"), 6); }
    static Failure invalidUseOfNull() { return Failure(QStringLiteral("Invalid use of Null"), 94); }
    static Failure invalidCall()
    {
        return Failure(QStringLiteral("Invalid procedure call or argument"), 5);
    }

private:
    QString m_description;
    int m_number;
};

// The description of any exception caught at a procedure's top.
QString describe(const std::exception& e);
