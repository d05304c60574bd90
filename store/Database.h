#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

struct sqlite3;

// One open connection to the reminder database "KV_Data.mdb" of the program
// directory (SQLite). Every operation opens its own and lets it close when it
// goes out of scope. All errors throw Failure with SQLite's description.
//
// A missing file is created with the current schema; an existing file is never
// recreated or repaired: if it is not our database every use fails.
class Database
{
public:
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (or creates) the file at path; "Now()" is registered on the connection.
    static std::unique_ptr<Database> open(const QString& path);

    // Runs one or more statements without parameters.
    void exec(const QString& sql);
    // Runs one statement with ?-parameters; gives the number of rows it changed.
    int execute(const QString& sql, const QVariantList& params);
    // First column of the first row of a query (null when no row).
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    qint64 lastInsertId() const;
    sqlite3* handle() const { return m_db; }
    // A second handle on this connection, which stays open until both are gone.
    std::unique_ptr<Database> borrow() const;
    const QString& path() const { return m_path; }

private:
    Database(std::shared_ptr<sqlite3> connection, QString path);
    static std::unique_ptr<Database> connect(const QString& path, int flags);
    static void createFile(const QString& path);
    void requireReminderTable();

    std::shared_ptr<sqlite3> m_connection; // closed with the last handle on it
    sqlite3* m_db;
    QString m_path;
};

// All-or-nothing work on one connection: BEGIN IMMEDIATE, or a savepoint when
// a transaction is already open. Rolled back unless committed.
class Transaction
{
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_nested;
    bool m_done = false;
};

// Opens "KV_Data.mdb" in the program directory; while a WriteBatch is open,
// hands out the batch's connection instead.
std::unique_ptr<Database> OpenReminderDb();
QString reminderDbPath();
