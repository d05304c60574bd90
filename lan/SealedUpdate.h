#pragma once

#include "lan/RUpdateRec.h"

#include <QString>

// A reminder shared to named colleagues who are all known by key travels
// sealed: the update's text encrypted once, its key sealed to each
// recipient (trust/SealedShare.h). It stays an "UPD" that any peer parses:
// the recipients, the identity and the author plain (a Windows peer, never
// among the recipients, ignores it as not meant for it), the title holding
// "KVSEAL1:" and the sealed text, the details the sealed keys (each
// followed by CR, in the recipients' order), every other field a fixed
// value. A share to everybody, or to anyone not pinned, goes readable.

// The update's text (BuildRUpdate's form), sealed when it can be.
QString SharedUpdateText(const RUpdateRec& rec);

bool isSealedUpdate(const RUpdateRec& rec);
// The update inside a sealed one, opened with this installation's key.
// Throws Failure when it is not for this installation, was changed on the
// way, or names other recipients, identity or author than outside.
RUpdateRec openSealedUpdate(const RUpdateRec& sealed);
