#include "store/Database.h"

#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/NewFile.h"
#include "store/SqlStatement.h"

#include <QFile>
#include <QRandomGenerator>

#include <sqlite3.h>

namespace {

constexpr int kBusyTimeoutMs = 1000;

// To the millisecond, so the strict due comparison "RNext < Now()" holds from
// the due moment on rather than from the next whole second.
void nowFunction(sqlite3_context* context, int, sqlite3_value**)
{
    sqlite3_result_double(context, Clock::preciseSerial());
}

} // namespace

Database::Database(std::shared_ptr<sqlite3> connection, QString path)
    : m_connection(std::move(connection)), m_db(m_connection.get()), m_path(std::move(path))
{}

std::unique_ptr<Database> Database::borrow() const
{
    return std::unique_ptr<Database>(new Database(m_connection, m_path));
}

std::unique_ptr<Database> Database::connect(const QString& path, int flags)
{
    sqlite3* raw = nullptr;
    // A connection is used by one thread only, so SQLite's per-call mutex is not needed.
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const QString message =
            raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QStringLiteral("out of memory");
        sqlite3_close_v2(raw);
        throw Failure(message);
    }
    std::unique_ptr<Database> db(
        new Database(std::shared_ptr<sqlite3>(raw, &sqlite3_close_v2), path));
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    // Not direct-only: the insert-time trigger of a database that an earlier
    // build made calls it until the schema check mends it.
    if (sqlite3_create_function_v2(raw, "Now", 0, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr,
                                   nowFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(raw)));
    return db;
}

void Database::create(const QString& path, const std::function<void(Database&)>& build)
{
    const QString temp =
        path + QStringLiteral(".%1.new").arg(QRandomGenerator::system()->generate64(), 16, 16,
                                             QLatin1Char('0'));
    try {
        {
            auto db = connect(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            build(*db);
        }
        placeNewFile(temp, path);
    } catch (const std::exception& e) {
        QFile::remove(temp);
        throw Failure(QStringLiteral("cannot create %1: %2").arg(path, describe(e)));
    }
    QFile::remove(temp);
}

std::unique_ptr<Database> Database::open(const QString& path)
{
    // Without CREATE: whatever lies at path now is used as it is or refused.
    std::unique_ptr<Database> db;
    try {
        db = connect(path, SQLITE_OPEN_READWRITE);
    } catch (const Failure& e) {
        throw Failure(path + QStringLiteral(": ") + e.description());
    }
    db->requireReminderTable();
    return db;
}

void Database::requireReminderTable()
{
    QVariant found;
    try {
        found = scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = "
                                      "'table' AND name = 'Main_tbl' COLLATE NOCASE"));
    } catch (const Failure& e) { // junk: "file is not a database"
        throw Failure(m_path + QStringLiteral(": ") + e.description());
    }
    if (found.toInt() == 0)
        throw Failure(
            QStringLiteral("%1 is not a reminder database: table Main_tbl not found").arg(m_path));
}

void Database::exec(const QString& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(m_db));
        sqlite3_free(error);
        throw Failure(message);
    }
}

int Database::execute(const QString& sql, const QVariantList& params)
{
    SqlStatement statement(m_db, sql, params);
    while (statement.next()) {
    }
    return sqlite3_changes(m_db);
}

QVariant Database::scalar(const QString& sql, const QVariantList& params)
{
    SqlStatement statement(m_db, sql, params);
    return statement.next() && !statement.columns().isEmpty() ? statement.value(0) : QVariant();
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

Transaction::Transaction(Database& db)
    : m_db(db), m_nested(sqlite3_get_autocommit(db.handle()) == 0)
{
    m_db.exec(m_nested ? QStringLiteral("SAVEPOINT kv_nested") : QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        m_db.exec(m_nested ? QStringLiteral("ROLLBACK TO kv_nested; RELEASE kv_nested")
                           : QStringLiteral("ROLLBACK"));
    } catch (const std::exception&) {
        // SQLite has already rolled back what it could.
    }
}

void Transaction::commit()
{
    m_db.exec(m_nested ? QStringLiteral("RELEASE kv_nested") : QStringLiteral("COMMIT"));
    m_done = true;
}
