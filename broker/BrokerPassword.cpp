#include "broker/BrokerPassword.h"

#include "broker/BrokerSettings.h"
#include "common/Log.h"
#include "platform/UserFiles.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QFile>
#include <QMetaObject>
#include <QObject>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BrokerPassword {

namespace {

const QString kService = QStringLiteral("veltrum-reminder");
const QString kSecretService = QStringLiteral("org.freedesktop.secrets");
constexpr qint64 kMaxLineBytes = 1024;

void later(QObject* context, std::function<void()> call)
{
    QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

// Whether the session bus has a Secret Service, running or to be started by the bus.
bool hasSecretService()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusConnectionInterface* daemon = bus.interface();
    if (daemon->isServiceRegistered(kSecretService))
        return true;
    const QDBusReply<QStringList> startable = daemon->call(QStringLiteral("ListActivatableNames"));
    return startable.isValid() && startable.value().contains(kSecretService);
}

// The password's name in the keyring: the broker's user at the broker's address.
QString keyringKey()
{
    const BrokerSettings settings = readBrokerSettings();
    return settings.user + QLatin1Char('@') + settings.address;
}

// Why the file may not be read: not a regular file of this user, or open to others,
// who may have read the password.
QString refusalOf(const struct stat& info, const QString& path)
{
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        return QStringLiteral("קובץ הסיסמה %1 אינו קובץ רגיל של המשתמש; הסיסמה לא נקראה.")
            .arg(path);
    if ((info.st_mode & 077) != 0)
        return QStringLiteral("קובץ הסיסמה %1 פתוח למשתמשים אחרים (הרשאות %2); הסיסמה לא נקראה, "
                              "כי ייתכן שנחשפה. יש להחליף אותה בשרת ולהגביל את הרשאות הקובץ "
                              "ל-600 (chmod 600).")
            .arg(path)
            .arg(info.st_mode & 0777, 3, 8, QLatin1Char('0'));
    return QString();
}

// The password in the file: empty when there is none; the refusal, when there is one.
QString readFile(QString* error)
{
    const QString path = fallbackFile();
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::lstat(name.constData(), &info) != 0)
        return QString();
    if (*error = refusalOf(info, path); !error->isEmpty())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("לא ניתן לקרוא את הסיסמה מהקובץ %1").arg(path);
        return QString();
    }
    return QString::fromUtf8(file.readLine(kMaxLineBytes)).trimmed();
}

// Keeps the password in the file, readable by the user alone; an empty one removes it.
QString writeFile(const QString& password)
{
    if (password.isEmpty()) {
        QFile::remove(fallbackFile());
        return QString();
    }
    QSaveFile file(fallbackFile());
    // The mode is set before a byte of the password is written.
    const bool kept = file.open(QIODevice::WriteOnly) &&
                      file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                      file.write(password.toUtf8() + '\n') > 0 && file.commit();
    return kept ? QString()
                : QStringLiteral("לא ניתן לשמור את הסיסמה בקובץ %1").arg(fallbackFile());
}

QString keyringError(const QKeychain::Job& job)
{
    return QStringLiteral("צרור המפתחות של שולחן העבודה סירב: %1").arg(job.errorString());
}

// The user, or the keyring's policy, said no: nothing goes to a file instead.
bool refusedByKeyring(const QKeychain::Job& job)
{
    return job.error() == QKeychain::AccessDenied || job.error() == QKeychain::AccessDeniedByUser;
}

} // namespace

QString fallbackFile()
{
    return UserFiles::dataFile(QStringLiteral("Kalvex.broker"));
}

void read(QObject* context, std::function<void(const QString&, const QString&)> done)
{
    const auto fromFile = [context, done] {
        QString error;
        const QString password = readFile(&error);
        later(context, [done, password, error] { done(password, error); });
    };
    if (!hasSecretService())
        return fromFile();
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(keyringKey());
    // A keyring without the entry, or one that cannot answer (no collection to keep it in),
    // leaves the file kept where the keyring could not keep the password.
    QObject::connect(job, &QKeychain::Job::finished, context, [done, fromFile](QKeychain::Job* j) {
        if (j->error() == QKeychain::NoError)
            done(static_cast<QKeychain::ReadPasswordJob*>(j)->textData(), QString());
        else if (refusedByKeyring(*j))
            done(QString(), keyringError(*j));
        else
            fromFile();
    });
    job->start();
}

void write(QObject* context, const QString& password, std::function<void(const QString&)> done)
{
    const auto toFile = [context, password, done] {
        const QString error = writeFile(password);
        later(context, [done, error] { done(error); });
    };
    if (!hasSecretService())
        return toFile();
    QKeychain::Job* job = nullptr;
    if (password.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(kService);
    } else {
        auto* writing = new QKeychain::WritePasswordJob(kService);
        writing->setTextData(password);
        job = writing;
    }
    job->setKey(keyringKey());
    QObject::connect(job, &QKeychain::Job::finished, context, [done, toFile](QKeychain::Job* j) {
        if (refusedByKeyring(*j))
            return done(keyringError(*j));
        if (j->error() != QKeychain::NoError && j->error() != QKeychain::EntryNotFound) {
            WriteLog(QStringLiteral("BrokerPassword: the keyring cannot keep it (%1); kept in %2")
                         .arg(j->errorString(), fallbackFile()),
                     LogError);
            return toFile();
        }
        // Kept in the keyring: no copy stays in a file.
        QFile::remove(fallbackFile());
        done(QString());
    });
    job->start();
}

} // namespace BrokerPassword
