#pragma once

#include <QString>

// Where each user's own files live: the database and what is kept beside it
// (drafts, the installation's key files), the settings file "Kalvex.ini" and
// the logs.
//
// A program directory this user can write keeps them all in it, beside the
// programs, as a copied installation always has (a folder of one's own, a
// shared folder on a server). Otherwise (the package under /usr, a read-only
// share) each user's files go to that user's own folders, one named
// "veltrum-reminder" in each XDG base folder:
//   data    $XDG_DATA_HOME/veltrum-reminder    (~/.local/share/veltrum-reminder)
//   config  $XDG_CONFIG_HOME/veltrum-reminder  (~/.config/veltrum-reminder)
//   state   $XDG_STATE_HOME/veltrum-reminder   (~/.local/state/veltrum-reminder)
// A program directory under /usr is never written, not even by root: that
// hierarchy belongs to the package manager.
//
// The choice is made once per process, on first use, for the program
// directory in force (in-process tests point that elsewhere). Both programs
// of one installation make the same one, so they share one settings file.
namespace UserFiles {

inline const QString kFolderName = QStringLiteral("veltrum-reminder");

enum class Kind { Data, Config, State };

bool besidePrograms();
// The folder of that kind; made, private to the user, when missing.
QString folder(Kind kind);
QString dataFile(const QString& name);   // the database and what lives beside it
QString configFile(const QString& name); // the settings file
QString stateFile(const QString& name);  // the logs

// Makes each folder and writes a little into it. Throws Failure saying in
// Hebrew which folder cannot be written and why (a full disk, no permission).
void checkWritable();

// Why a call on a file failed, in Hebrew, for the errno value given.
QString reasonInHebrew(int error);

} // namespace UserFiles
