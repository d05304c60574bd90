#include "store/ReminderDb.h"

#include "store/Schema.h"
#include "store/WriteBatch.h"

std::unique_ptr<Database> OpenReminderDb()
{
    if (const Database* shared = WriteBatch::connection())
        return shared->borrow();
    return openOrCreateDb(reminderDbPath());
}
