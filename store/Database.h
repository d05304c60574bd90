#pragma once

#include "common/ReminderFile.h" // reminderDbPath()

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>

struct sqlite3;

// One open connection to a reminder database file (SQLite); the user's is
// opened by OpenReminderDb (ReminderDb.h). Every operation opens
// its own and lets it close when it goes out of scope. All errors throw Failure
// with SQLite's description.
//
// An existing file is never recreated or repaired: if it is not our database
// every use fails.
class Database
{
public:
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file at path, which must exist; "Now()" is registered on the connection.
    static std::unique_ptr<Database> open(const QString& path);
    // Makes the file at path, its content written by build in a private file that is moved
    // into place only when complete, so an interrupted creation never leaves a half-made
    // database that every later run would refuse.
    static void create(const QString& path, const std::function<void(Database&)>& build);

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
