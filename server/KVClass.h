#pragma once

#include "common/LanDatagram.h"
#include "server/KVClassAlerts.h"
#include "server/KVClassDebug.h"
#include "server/ReminderScripts.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>

#include <functional>

class ScriptCalls;
class ServerLifetime;
class WindowWatcher;

// The public class of Kalvex, served on the session bus as object /KVClass
// with the interfaces of common/Kalvex.KVClass.xml, whose adaptors (generated
// from it) call the methods of the same names here and in the classes it
// joins: ReminderScripts for the reminders, KVClassAlerts, KVClassDebug.
// It holds no state: every call shares the process-wide state. Each call of
// Kalvex.KVClass first re-reads the LAN settings, so a change to the settings
// file counts from the next call; a failure there, or in the call itself, is
// the call's D-Bus error (Kalvex.KVClass.Error.Failed, the description as
// message; Kalvex.KVClass.Error.InvalidArgument for input refused before
// anything was written).
class KVClass : public QObject,
                protected QDBusContext,
                public ReminderScripts,
                public KVClassAlerts,
                public KVClassDebug
{
    Q_OBJECT
public:
    KVClass(ServerLifetime* lifetime, WindowWatcher* watcher, QObject* parent = nullptr);
    ~KVClass() override;

    // Serves this object as /KVClass on the bus: the interfaces of the XML
    // and nothing else. False when the path is taken.
    bool exportOn(QDBusConnection bus);

    // Shows the manager window before returning; with a reminder's id, that
    // reminder selected (or the user told that it is gone).
    void ShowList(int RMainId);
    // Queue the due check / the next-due publication / a LAN datagram and return.
    void CheckList();
    void UpdateList();
    void MsgProcess(const QString& StrMsg);
    // Queues received datagrams, each with the address it came from; answered
    // once they have been carried out (or dropped), so a caller that waits
    // for the answer before its next batch never lets work pile up here.
    void MsgProcessBatch(const QList<LanDatagram>& datagrams);
    // Shows the about box (non-modal) before returning.
    void ShowAbout();

signals:
    // A shared reminder arrived, was changed or was deleted by its author
    // (kind KalvexBus::arrivalNew, ...; due "dd/mm/yyyy HH:nn"); a few a
    // second at most. Tolvane shows a notice.
    void SharedReminderArrived(const QString& kind, int RMainId, const QString& author,
                               const QString& caption, const QString& due);
    // That many arrivals were not told one by one (beyond the few a second).
    void SharedRemindersHeldBack(int count);
    // The number of alerts shown (windows and the list's rows) has changed.
    void CountChanged(int count);
    // A window of this process has been shown.
    void WindowShown(const QString& objectName, const QString& title);

protected:
    QVariant serveReminderCall(const Work& work) override;

private:
    void serve(const std::function<void()>& work);
    // Serves a call that gives a value: the value, or an invalid one when
    // the reply goes out later or as an error. A reminder call (the work
    // must own what it uses) goes to m_scriptCalls.
    QVariant answer(const Work& work, bool reminderCall);
    // Carries out the work; the D-Bus error for a failure (rethrown outside D-Bus).
    QDBusMessage reply(const QDBusMessage& call, const Work& work);

    ServerLifetime* m_lifetime;
    ScriptCalls* m_scriptCalls;
};
