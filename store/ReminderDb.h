#pragma once

#include "store/Database.h"

#include <memory>

// Opens "KV_Data.mdb" in the user's data folder (platform/UserFiles.h), creating it with the
// current schema when it is missing; while a WriteBatch is open, hands out the batch's connection
// instead.
std::unique_ptr<Database> OpenReminderDb();
