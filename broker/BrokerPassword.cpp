#include "broker/BrokerPassword.h"

#include "platform/UserFiles.h"

#include <QFile>
#include <QMetaObject>
#include <QObject>
#include <QSaveFile>

namespace BrokerPassword {

QString fallbackFile()
{
    return UserFiles::dataFile(QStringLiteral("Kalvex.broker"));
}

static void later(QObject* context, std::function<void()> call)
{
    QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

void read(QObject* context, std::function<void(const QString&, const QString&)> done)
{
    QFile file(fallbackFile());
    QString password, error;
    if (file.exists() && !file.open(QIODevice::ReadOnly))
        error = QStringLiteral("לא ניתן לקרוא את הסיסמה מהקובץ %1").arg(file.fileName());
    else if (file.isOpen())
        password = QString::fromUtf8(file.readLine(1024)).trimmed();
    later(context, [done, password, error] { done(password, error); });
}

void write(QObject* context, const QString& password, std::function<void(const QString&)> done)
{
    QString error;
    if (password.isEmpty()) {
        QFile::remove(fallbackFile());
    } else {
        QSaveFile file(fallbackFile());
        const bool kept = file.open(QIODevice::WriteOnly) &&
                          file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                          file.write(password.toUtf8() + '\n') > 0 && file.commit();
        if (!kept)
            error = QStringLiteral("לא ניתן לשמור את הסיסמה בקובץ %1").arg(fallbackFile());
    }
    later(context, [done, error] { done(error); });
}

} // namespace BrokerPassword
