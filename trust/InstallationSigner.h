#pragma once

#include "trust/Keys.h"

#include <QByteArray>

// Signs with the installation's key (TrustFiles), read or made on first use
// and kept for the life of the process. counterBlock: the counters this
// process reserves at a time (SignatureCounter.h): Kalvex many, Tolvane,
// which signs an announcement now and then, one.
// Throws Failure, in Hebrew, when the key file or the counter cannot be used.
QByteArray signWithInstallationKey(const QByteArray& unsignedBytes, quint64 counterBlock);

// The key is read again at the next signature (the program directory changed).
void forgetInstallationKey();

// The installation's key pair (read or made as for signing), to open what
// was sealed to it.
KeyPair installationKeyPair();
