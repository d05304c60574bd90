#pragma once

#include <QString>

#include <optional>

// The database that an installation copied into a folder left behind, once
// this installation keeps the user's files in the user's own folders
// (platform/UserFiles.h): an office that moves from copied folders to the
// package. That installation is found through what it left in the user's
// own folders, which start its programs: the auto-start entry
// (common/AutoRunEntry.h) and the activation file (common/ActivationFile.h).
namespace EarlierInstallation {

inline const QString kMovedSuffix = QStringLiteral(".moved");

// Its database; nothing when this installation keeps the files beside the
// programs, the user has a database already, none is found, or the user
// chose to leave this one where it is.
std::optional<QString> database();

// Moves the database into the user's data folder, with the key files beside
// it (common/ReminderFile.h), and its settings file into the config folder
// where the user has none: each is copied whole under a
// private name, compared with its original, and only then put in place;
// then the original database is renamed to "KV_Data.mdb.moved" beside
// itself, so it is never lost and the earlier installation does not go on
// with a copy of its own. This installation's Tolvane then starts at log-on.
// Throws Failure in Hebrew; the original database is then where it was.
void move(const QString& database);

// Not to be offered again.
void leave(const QString& database);

} // namespace EarlierInstallation
