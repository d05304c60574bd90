#pragma once

#include <QString>

// The reminder database "KV_Data.mdb" in the user's data folder
// (platform/UserFiles.h): an SQLite file that Kalvex keeps and any SQLite
// client may read and add rows to.
QString reminderDbPath();
// Beside it, the manager window's edit that a close from outside interrupted.
QString editDraftPath();
