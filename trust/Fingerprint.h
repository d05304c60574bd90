#pragma once

#include "trust/Keys.h"

#include <QString>

// A public key as two people can compare it by reading it to each other:
// 25 digits in 5 groups of 5, "05931 88412 30077 61954 12803", from a hash of
// the key (about 83 bits: no one can make a key that reads like another's).
// Digits, blanks only: shown left to right also in a right-to-left window.
QString keyFingerprint(const PublicKey& key);

// A short name of a key for logs and lists: 16 hexadecimal digits from a
// hash of the key. Short enough that another key could be made to share
// it: compare whole keys to decide whom to trust.
QString keyId(const PublicKey& key);
