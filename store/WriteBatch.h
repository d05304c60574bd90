#pragma once

#include <functional>
#include <memory>

class Database;

// Many short writes carried out as one transaction on one connection, so the
// file is synced once for all of them instead of once each. While a batch is
// open, OpenReminderDb hands out its connection. Work that may only follow
// committed writes (an answer promising a stored copy) waits with afterCommit.
// A batch opened while another is open joins that one.
//
// Failures are logged as "WriteBatch: <description>". A batch that cannot
// begin leaves every write to stand alone, as without a batch; a commit that
// fails drops the waiting work, as the writes it followed are gone.
class WriteBatch
{
public:
    WriteBatch();
    ~WriteBatch(); // rolls back unless finished
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // Runs one step of work, which traps its own failures: when it returns
    // false, its writes and the work it left waiting are undone, the other
    // steps' kept.
    void step(const std::function<bool()>& work);
    // Commits, then runs the waiting work in the order it was asked for.
    void finish();

    static const Database* connection(); // nullptr when no batch is open

    struct Open;

private:
    std::unique_ptr<Open> m_open; // null when joined or not begun
};

// Runs action once the open batch has committed; at once when none is open.
void afterCommit(std::function<void()> action);
// The same for work that a batch needs once however many steps ask for it;
// it runs after the other waiting work.
void afterCommitOnce(void (*action)());
