#pragma once

#include "common/KalvexBus.h"
#include "common/LanDatagram.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QVariantMap>

#include <functional>

class ScriptCalls;
class ServerLifetime;

// The public class of Kalvex, served on the session bus as object /KVClass,
// interface Kalvex.KVClass. It holds no state: every call shares the
// process-wide state. Each call first re-reads the LAN settings, so a change
// to the settings file counts from the next call; a failure there, or in the
// call itself, is the call's D-Bus error (Kalvex.KVClass.Error.Failed, the
// description as message; Kalvex.KVClass.Error.InvalidArgument for input
// refused before anything was written).
class KVClass : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", KALVEX_BUS_INTERFACE)
public:
    explicit KVClass(ServerLifetime* lifetime, QObject* parent = nullptr);

public slots:
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

    // Reminders for scripts and other programs (ReminderScripts.h), carried
    // out and answered as ScriptCalls.h says.
    int AddReminder(const QString& caption, const QString& due, const QString& details,
                    int importance, int eventType, const QString& shareTo);
    bool DeleteReminder(int id, bool network);
    QVariantMap GetReminder(int id);
    QList<QVariantMap> ListReminders(int filter);
    void UpdateReminder(int id, const QVariantMap& fields);

private:
    void serve(const std::function<void()>& work);
    // Serves a call that gives a value: the value, or an invalid one when
    // the reply goes out later or as an error. A reminder call (the work
    // must own what it uses) goes to m_scriptCalls.
    using Answer = std::function<QVariant()>;
    QVariant answer(const Answer& work, bool reminderCall);
    // Carries out the work; the D-Bus error for a failure (rethrown outside D-Bus).
    QDBusMessage reply(const QDBusMessage& call, const Answer& work);

    ServerLifetime* m_lifetime;
    ScriptCalls* m_scriptCalls;
};
