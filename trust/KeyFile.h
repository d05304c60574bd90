#pragma once

#include "platform/Failure.h"
#include "trust/Keys.h"

#include <QString>

// The installation's key pair lives in one file that the caller names
// (beside the database). It holds one line: "KVKEY1:", then the 32-byte seed
// of the key pair in printable form (43 characters), then a line feed.
//
// Made on first use: the file is created with mode 0600 before a byte is
// written, finished under a private name and only then put in place, so no
// one can read it for a moment and no one finds it half-written. When
// another process puts its file in place first, that one is used.
//
// An existing file is refused, and left exactly as it is, when it is not
// that line, not a regular file of this user, or open to anyone else (mode
// wider than 0600): a new key would make every colleague who accepted the
// old one refuse this installation, and a key others could read may be
// known. The user decides: mend the permissions, or move the file away so a
// new key is made.
KeyPair loadOrCreateKeyPair(const QString& path);

// Why the key file cannot be used; the description says it in Hebrew, with
// the file's path and what to do.
class KeyFileFailure : public Failure
{
public:
    enum Reason {
        Unreadable, // the system refused to read it
        Corrupt,    // not a key line
        NotOwnFile, // a link, a folder or another user's file
        Exposed,    // others may read or write it
        Unwritable, // a new one could not be made
    };
    KeyFileFailure(Reason reason, const QString& description)
        : Failure(description), m_reason(reason)
    {}
    Reason reason() const { return m_reason; }

private:
    Reason m_reason;
};
