#include "store/WriteBatch.h"

#include "common/Log.h"
#include "platform/Failure.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QList>

#include <sqlite3.h>

#include <optional>

struct WriteBatch::Open
{
    std::unique_ptr<Database> db;
    QList<std::function<void()>> waiting;
    QList<void (*)()> once;
};

namespace {

WriteBatch::Open* g_open = nullptr;

void logFailure(const std::exception& e)
{
    WriteLog(QStringLiteral("WriteBatch: ") + describe(e), LogError);
}

// On some failures (disk full, I/O error) SQLite rolls the whole
// transaction back by itself.
bool transactionLost(const Database& db)
{
    return sqlite3_get_autocommit(db.handle()) != 0;
}

const QString kLost = QStringLiteral("SQLite rolled back the batch");

// The earlier steps' writes are gone, and so is the work that followed them.
void restartIfLost(WriteBatch::Open& batch)
{
    if (!transactionLost(*batch.db))
        return;
    batch.waiting.clear();
    logFailure(Failure(kLost));
    batch.db->exec(QStringLiteral("BEGIN IMMEDIATE"));
}

template <typename Action> void runTrapped(const Action& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        logFailure(e);
    }
}

} // namespace

WriteBatch::WriteBatch()
{
    if (g_open)
        return;
    try {
        auto open = std::make_unique<Open>();
        open->db = openOrCreateDb(reminderDbPath());
        open->db->exec(QStringLiteral("BEGIN IMMEDIATE"));
        m_open = std::move(open);
        g_open = m_open.get();
    } catch (const std::exception& e) {
        logFailure(e);
    }
}

// Closing the connection rolls back what was not committed.
WriteBatch::~WriteBatch()
{
    if (m_open)
        g_open = nullptr;
}

void WriteBatch::step(const std::function<bool()>& work)
{
    if (!g_open) {
        work();
        return;
    }
    std::optional<Transaction> savepoint;
    try {
        restartIfLost(*g_open);
        savepoint.emplace(*g_open->db);
    } catch (const std::exception& e) {
        logFailure(e);
    }
    const qsizetype waitingBefore = g_open->waiting.size();
    if (work() && savepoint) {
        runTrapped([&] { savepoint->commit(); });
        return;
    }
    // Undone: what this step left waiting followed writes that are gone.
    if (g_open->waiting.size() > waitingBefore)
        g_open->waiting.resize(waitingBefore);
}

void WriteBatch::finish()
{
    if (!m_open)
        return;
    const std::unique_ptr<Open> batch = std::move(m_open);
    g_open = nullptr;
    try {
        if (transactionLost(*batch->db))
            throw Failure(kLost);
        batch->db->exec(QStringLiteral("COMMIT"));
    } catch (const std::exception& e) {
        logFailure(e);
        return;
    }
    batch->db.reset();
    for (const auto& action : batch->waiting)
        runTrapped(action);
    for (auto* action : batch->once)
        runTrapped(action);
}

const Database* WriteBatch::connection()
{
    return g_open ? g_open->db.get() : nullptr;
}

void afterCommit(std::function<void()> action)
{
    if (g_open)
        g_open->waiting.append(std::move(action));
    else
        action();
}

void afterCommitOnce(void (*action)())
{
    if (!g_open)
        action();
    else if (!g_open->once.contains(action))
        g_open->once.append(action);
}
