#include "server/KVClass.h"

#include "common/KalvexBus.h"
#include "platform/Failure.h"
#include "server/CommandQueue.h"
#include "server/FrmAbout.h"
#include "server/InvalidArgument.h"
#include "server/ReminderScripts.h"
#include "server/ScriptCalls.h"
#include "server/ServerLifetime.h"
#include "server/ShowMainForm.h"
#include "store/LanSettings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>

KVClass::KVClass(ServerLifetime* lifetime, QObject* parent)
    : QObject(parent), m_lifetime(lifetime), m_scriptCalls(new ScriptCalls(this))
{
    setObjectName(QStringLiteral("KVClass"));
    qDBusRegisterMetaType<QList<QVariantMap>>(); // aa{sv}, before the object is exported
    registerLanDatagramType();
}

void KVClass::serve(const std::function<void()>& work)
{
    answer(
        [&work] {
            work();
            return QVariant();
        },
        false);
}

QVariant KVClass::answer(const Answer& work, bool reminderCall)
{
    if (!calledFromDBus())
        return reply(QDBusMessage(), work).arguments().value(0);
    if (m_lifetime && m_lifetime->isLeaving()) {
        setDelayedReply(true);
        m_lifetime->forward(message());
        return {};
    }
    if (reminderCall) {
        setDelayedReply(true);
        m_scriptCalls->queue(connection(), message(),
                             [this, call = message(), work] { return reply(call, work); });
        return {};
    }
    const QDBusMessage answered = reply(message(), work);
    if (answered.type() == QDBusMessage::ErrorMessage)
        sendErrorReply(answered.errorName(), answered.errorMessage());
    return answered.arguments().value(0);
}

QDBusMessage KVClass::reply(const QDBusMessage& call, const Answer& work)
{
    QDBusMessage answered;
    try {
        LoadLANSettings();
        const QVariant value = work();
        answered = value.isValid() ? call.createReply(value) : call.createReply();
    } catch (const InvalidArgument& e) {
        if (call.type() != QDBusMessage::MethodCallMessage)
            throw;
        answered = call.createErrorReply(KalvexBus::invalidArgumentError, e.description());
    } catch (const std::exception& e) {
        if (call.type() != QDBusMessage::MethodCallMessage)
            throw;
        answered = call.createErrorReply(KalvexBus::failedError, describe(e));
    }
    if (m_lifetime)
        m_lifetime->noteActivity();
    return answered;
}

void KVClass::ShowList(int RMainId)
{
    serve([RMainId] {
        if (RMainId > 0)
            OpenReminderInList(RMainId);
        else
            ShowMainForm();
    });
}

void KVClass::CheckList()
{
    serve([] { QueueCommand(kCheckCommand); });
}

void KVClass::UpdateList()
{
    serve([] { QueueCommand(kUpdateCommand); });
}

void KVClass::MsgProcess(const QString& StrMsg)
{
    serve([&StrMsg] { QueueCommand(StrMsg); });
}

void KVClass::MsgProcessBatch(const QList<LanDatagram>& datagrams)
{
    if (!calledFromDBus() || (m_lifetime && m_lifetime->isLeaving())) {
        serve([&datagrams] { QueueDatagrams(datagrams); });
        return;
    }
    setDelayedReply(true);
    QDBusConnection bus = connection();
    const QDBusMessage call = message();
    const QDBusMessage refused = reply(call, [&] {
        QueueDatagrams(datagrams, [bus, call]() mutable { bus.send(call.createReply()); });
        return QVariant();
    });
    if (refused.type() == QDBusMessage::ErrorMessage)
        bus.send(refused);
}

void KVClass::ShowAbout()
{
    serve([] { FrmAbout::showBox(); });
}

int KVClass::AddReminder(const QString& caption, const QString& due, const QString& details,
                         int importance, int eventType, const QString& shareTo)
{
    return answer(
               [=] {
                   return QVariant(
                       ReminderScripts::add(caption, due, details, importance, eventType, shareTo));
               },
               true)
        .toInt();
}

bool KVClass::DeleteReminder(int id, bool network)
{
    return answer([=] { return QVariant(ReminderScripts::remove(id, network)); }, true).toBool();
}

QVariantMap KVClass::GetReminder(int id)
{
    return answer([=] { return QVariant(ReminderScripts::get(id)); }, true).toMap();
}

QList<QVariantMap> KVClass::ListReminders(int filter)
{
    return answer([=] { return QVariant::fromValue(ReminderScripts::list(filter)); }, true)
        .value<QList<QVariantMap>>();
}

void KVClass::UpdateReminder(int id, const QVariantMap& fields)
{
    answer(
        [=] {
            ReminderScripts::update(id, fields);
            return QVariant();
        },
        true);
}
