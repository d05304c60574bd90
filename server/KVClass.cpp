#include "server/KVClass.h"

#include "alert/AlertPile.h"
#include "common/KalvexBus.h"
#include "lan/SharedArrivals.h"
#include "platform/Failure.h"
#include "server/CommandQueue.h"
#include "server/FrmAbout.h"
#include "server/InvalidArgument.h"
#include "server/KVClassAdaptors.h" // generated from common/Kalvex.KVClass.xml
#include "server/ScriptCalls.h"
#include "server/ServerLifetime.h"
#include "server/ShowMainForm.h"
#include "server/WindowWatcher.h"
#include "store/LanSettings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QWidget>

KVClass::KVClass(ServerLifetime* lifetime, WindowWatcher* watcher, QObject* parent)
    : QObject(parent), m_lifetime(lifetime), m_scriptCalls(new ScriptCalls(this))
{
    setObjectName(QStringLiteral("KVClass"));
    KalvexBus::registerTypes(); // before the object is exported
    // Each relays the signals of the same name.
    new KVClassAdaptor(this);
    new AlertsAdaptor(this);
    new DebugAdaptor(this);
    connect(&AlertPile::instance(), &AlertPile::countChanged, this, &KVClass::CountChanged);
    if (watcher)
        connect(watcher, &WindowWatcher::windowShown, this,
                [this](QWidget* w) { emit WindowShown(w->objectName(), w->windowTitle()); });
    setSharedArrivalHandler([this](const SharedArrival& arrival) {
        static const QString kinds[] = {KalvexBus::arrivalNew, KalvexBus::arrivalChanged,
                                        KalvexBus::arrivalDeleted};
        emit SharedReminderArrived(kinds[arrival.kind], arrival.reminderId, arrival.author,
                                   arrival.caption, formatDateTime(arrival.due));
    });
    setHeldBackArrivalsHandler([this](int count) { emit SharedRemindersHeldBack(count); });
}

KVClass::~KVClass()
{
    setSharedArrivalHandler(nullptr);
    setHeldBackArrivalsHandler(nullptr);
}

bool KVClass::exportOn(QDBusConnection bus)
{
    return bus.registerObject(KalvexBus::objectPath, this, QDBusConnection::ExportAdaptors);
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

QVariant KVClass::answer(const Work& work, bool reminderCall)
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

QDBusMessage KVClass::reply(const QDBusMessage& call, const Work& work)
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

QVariant KVClass::serveReminderCall(const Work& work)
{
    return answer(work, true);
}
