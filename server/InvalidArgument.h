#pragma once

#include "platform/Failure.h"

// A call refused for one of its arguments, before anything was written: its
// D-Bus name and why, in the user's words. The description is "<argument>: <why>".
class InvalidArgument : public Failure
{
public:
    InvalidArgument(const QString& argument, const QString& why)
        : Failure(argument + QStringLiteral(": ") + why, 5), m_argument(argument)
    {}
    const QString& argument() const { return m_argument; }

private:
    QString m_argument;
};
