#include "platform/ui/WindowDirectory.h"

#include "platform/ui/ModalWindows.h"
#include "platform/ui/PeerCall.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>

namespace {

const QString kNamePrefix = QStringLiteral("Kalvex.Window.");
const QString kPathPrefix = QStringLiteral("/Kalvex/Window/");
const QString kInterface = QStringLiteral("Kalvex.Window");
constexpr int kMaxBusNameLength = 255;

// One bus-name element and one object-path element for a title: "T" and the
// hexadecimal UTF-8 bytes, or for titles too long for a bus name "H" and a
// SHA-256 of those bytes.
QString titleToken(const QString& title)
{
    const QByteArray utf8 = title.toUtf8();
    const QString plain = QLatin1Char('T') + QString::fromLatin1(utf8.toHex());
    if (kNamePrefix.size() + plain.size() <= kMaxBusNameLength)
        return plain;
    return QLatin1Char('H') +
           QString::fromLatin1(QCryptographicHash::hash(utf8, QCryptographicHash::Sha256).toHex());
}

QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

void closeLocal(QWidget* window, std::function<void()> done = {});
void activateLocal(QWidget* window);

// Serves Close() and Activate() on the object path of every published title;
// the path tells which title a call is for.
class Dispatcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Kalvex.Window")
public:
    using QObject::QObject;

public slots:
    void Close();
    void Activate();

private:
    QWidget* target() const;
};

// The windows published by this process, by title token; the last published
// window of a title answers for it. Only pointers are compared here, so a
// window in the middle of its destruction is never touched.
class Registry
{
public:
    bool isPublished(QObject* window) const { return m_tokenOf.contains(window); }

    void add(QWidget* window, const QString& title)
    {
        const QString token = titleToken(title);
        QList<QWidget*>& windows = m_windows[token];
        if (windows.isEmpty()) {
            bus().registerObject(kPathPrefix + token, m_dispatcher,
                                 QDBusConnection::ExportAllSlots);
            bus().registerService(kNamePrefix + token);
        }
        windows.append(window);
        m_tokenOf.insert(window, token);
    }

    void remove(QObject* window)
    {
        const auto it = m_tokenOf.constFind(window);
        if (it == m_tokenOf.constEnd())
            return;
        const QString token = *it;
        m_tokenOf.erase(it);
        QList<QWidget*>& windows = m_windows[token];
        windows.removeIf([window](QWidget* w) { return w == window; });
        if (windows.isEmpty()) {
            m_windows.remove(token);
            bus().unregisterService(kNamePrefix + token);
            bus().unregisterObject(kPathPrefix + token);
        }
    }

    QWidget* windowFor(const QString& token) const
    {
        const auto it = m_windows.constFind(token);
        return it == m_windows.constEnd() || it->isEmpty() ? nullptr : it->last();
    }

private:
    // Never deleted: the bus connection may outlive this registry at exit.
    Dispatcher* m_dispatcher = new Dispatcher;
    QHash<QString, QList<QWidget*>> m_windows;
    QHash<QObject*, QString> m_tokenOf;
};

Registry& registry()
{
    static Registry r;
    return r;
}

// A window that accepted the close and is about to be deleted leaves the
// directory now, so the caller no longer finds it once Close() returns.
// Whether it goes is read when the request comes: ending its modal window may
// already close it (the tray question's Abort), and Qt clears the attribute
// of a window it has closed and scheduled for deletion.
void closeNow(QWidget* window, bool goesAway)
{
    if (window->close() && goesAway)
        registry().remove(window);
}

// Modal windows open in this process end first; then the window closes.
void closeLocal(QWidget* window, std::function<void()> done)
{
    const bool goesAway = window->testAttribute(Qt::WA_DeleteOnClose);
    ModalWindows::endThen([window = QPointer<QWidget>(window), goesAway, done = std::move(done)] {
        if (window)
            closeNow(window, goesAway);
        if (done)
            done();
    });
}

void activateLocal(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

QWidget* Dispatcher::target() const
{
    const QString path = message().path();
    return registry().windowFor(path.mid(kPathPrefix.size()));
}

// The caller learns of the close only once it has been carried out.
void Dispatcher::Close()
{
    QWidget* w = target();
    if (!w)
        return;
    setDelayedReply(true);
    closeLocal(w, [reply = message().createReply()] { bus().send(reply); });
}

void Dispatcher::Activate()
{
    if (QWidget* w = target())
        activateLocal(w);
}

// The owner may be hung or wait for its user: the caller waits a bounded time.
bool callWindow(const QString& title, const QString& method, QString* error)
{
    const QString token = titleToken(title);
    QDBusMessage call = QDBusMessage::createMethodCall(kNamePrefix + token, kPathPrefix + token,
                                                       kInterface, method);
    call.setAutoStartService(false);
    const QDBusMessage reply = callPeer(call);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    if (error)
        *error = peerFailure(call, reply, QLatin1Char('"') + title + QLatin1Char('"'));
    return false;
}

} // namespace

namespace WindowDirectory {

QString busNameFor(const QString& title)
{
    return kNamePrefix + titleToken(title);
}

bool publish(QWidget* window)
{
    if (!bus().isConnected())
        return false;
    if (registry().isPublished(window))
        return true;
    registry().add(window, window->windowTitle());
    QObject::connect(window, &QWidget::windowTitleChanged, window, [window](const QString& title) {
        registry().remove(window);
        registry().add(window, title);
    });
    QObject::connect(window, &QObject::destroyed, [](QObject* gone) { registry().remove(gone); });
    return true;
}

bool exists(const QString& title)
{
    if (registry().windowFor(titleToken(title)))
        return true;
    if (!bus().isConnected())
        return false;
    // NameHasOwner: asking never starts anything.
    return bus().interface()->isServiceRegistered(busNameFor(title)).value();
}

bool close(const QString& title, QString* error)
{
    if (QWidget* w = registry().windowFor(titleToken(title))) {
        closeLocal(w);
        return true;
    }
    return exists(title) && callWindow(title, QStringLiteral("Close"), error);
}

bool activate(const QString& title, QString* error)
{
    if (QWidget* w = registry().windowFor(titleToken(title))) {
        activateLocal(w);
        return true;
    }
    return exists(title) && callWindow(title, QStringLiteral("Activate"), error);
}

} // namespace WindowDirectory

#include "WindowDirectory.moc"
