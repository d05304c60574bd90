#include "platform/ui/ActivationEnvironment.h"

#include "platform/Failure.h"
#include "platform/ui/PeerCall.h"

#include <QDBusMetaType>
#include <QMap>

namespace ActivationEnvironment {

void handDisplay()
{
    static const char* const names[] = {"DISPLAY",         "WAYLAND_DISPLAY",  "XAUTHORITY",
                                        "XDG_RUNTIME_DIR", "XDG_SESSION_TYPE", "QT_QPA_PLATFORM"};
    QMap<QString, QString> values;
    for (const char* name : names)
        if (qEnvironmentVariableIsSet(name))
            values.insert(QString::fromLatin1(name), qEnvironmentVariable(name));
    if (values.isEmpty())
        return;
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("UpdateActivationEnvironment"));
    call.setArguments({QVariant::fromValue(values)});
    const QDBusMessage reply = callPeer(call);
    if (reply.type() == QDBusMessage::ErrorMessage)
        throw Failure(peerFailure(call, reply, QStringLiteral("the session bus")));
}

} // namespace ActivationEnvironment
