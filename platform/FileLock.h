#pragma once

#include <QString>

#include <chrono>

// An exclusive advisory lock (flock) on a lock file, held while the object
// lives and released by closing it, also when the holder dies. The lock file
// is created when missing and never removed: removing it would let two
// processes lock two different files of the same name.
class FileLock
{
public:
    // Waits at most `patience` for a holder in another process to let go.
    // Throws Failure when the file cannot be opened or the lock is not had in time.
    FileLock(const QString& path, std::chrono::milliseconds patience);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd = -1;
};
