#pragma once

#include <QString>

#include <exception>
#include <utility>

// The failure convention of every named procedure: its whole body is
// trapped; a failure is logged once as "<Name>: <description>" (the
// description alone for an empty name) with event type error, and the
// procedure leaves.
void logFailure(const QString& name, const std::exception& e);

// Runs body under that convention. True when it ran through.
template <typename Body> bool trapped(const QString& name, Body&& body)
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception& e) {
        logFailure(name, e);
        return false;
    }
}
