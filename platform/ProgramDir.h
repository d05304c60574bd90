#pragma once

#include <QString>

// The program directory: where both executables, RIcons/, the database, the
// settings file and the logs live. It is the running executable's directory;
// in-process tests point it at a temporary directory instead.
namespace ProgramDir {

QString path();
QString file(const QString& name); // path() + "/" + name
void setOverride(const QString& dir); // empty: back to the executable's directory

} // namespace ProgramDir
