#pragma once

#include "platform/Failure.h"

#include <QDBusPendingCall>

#include <functional>

class KalvexKVClassInterface; // common/KalvexProxies.h

// One call of Kalvex's interface Kalvex.KVClass, made on the proxy generated
// from common/Kalvex.KVClass.xml:
// [](KalvexKVClassInterface& kalvex) { return kalvex.CheckList(); }
using KalvexCall = std::function<QDBusPendingCall(KalvexKVClassInterface& kalvex)>;

// Kalvex's automation class "Kalvex.KVClass" as Tolvane uses it: every call
// stands for creating a new object, calling one method on it and releasing it.
class KalvexClient
{
public:
    virtual ~KalvexClient() = default;
    // Throws NotCreated when no object can be created (the bus knows no
    // Kalvex or cannot start it), Failure when the method call itself fails.
    virtual void call(const KalvexCall& method) = 0;
    // The same call without waiting for its end (the answer is waited for
    // kPeerWaitMs at most); calls posted keep their order. Once the call has
    // ended, a failure reaches onFailure (its description), then onEnd runs.
    virtual void post(const KalvexCall& method,
                      const std::function<void(const QString&)>& onFailure,
                      const std::function<void()>& onEnd = {}) = 0;
};

// Creating the KVClass object failed.
class NotCreated : public Failure
{
public:
    using Failure::Failure;
};

namespace Kalvex {

// The client in use: calls to Kalvex.KVClass at /KVClass with the bus's
// auto-start, unless a test has put a fake in its place.
KalvexClient& client();
void setClient(KalvexClient* fake); // nullptr: back to D-Bus

} // namespace Kalvex
