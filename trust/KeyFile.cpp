#include "trust/KeyFile.h"

#include "platform/NewFile.h"
#include "trust/Sodium.h"

#include <QFile>

#include <sodium.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kKeyTag[] = "KVKEY1:";
constexpr qsizetype kTagLength = sizeof(kKeyTag) - 1;
constexpr qsizetype kLineLength = kTagLength + printableLength(kSeedBytes) + 1;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Closes the descriptor when it goes.
struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Bytes that held a secret, wiped when they go; moved, never copied.
struct Wiped
{
    explicit Wiped(QByteArray secret = {}) : bytes(std::move(secret)) {}
    Wiped(Wiped&&) = default;
    ~Wiped() { sodium_memzero(bytes.data(), bytes.size()); }
    QByteArray bytes;
};

KeyPair keyPairFromLine(QByteArrayView line, const QString& path)
{
    KeySeed seed;
    const bool parsed =
        line.size() == kLineLength && line.startsWith(kKeyTag) && line.endsWith('\n') &&
        bytesFromPrintable(line.sliced(kTagLength, kLineLength - kTagLength - 1), seed);
    if (!parsed)
        throw KeyFileFailure(KeyFileFailure::Corrupt,
                             QStringLiteral("קובץ המפתח %1 פגום. הוא נשאר כפי שהוא; כדי שייווצר "
                                            "מפתח חדש יש להעביר אותו ממקומו (עמיתים שאישרו את "
                                            "המפתח הקודם יצטרכו לאשר את החדש).")
                                 .arg(path));
    const KeyPair pair = KeyPair::fromSeed(seed);
    sodium_memzero(seed.data(), seed.size());
    return pair;
}

void requireOwnPrivateFile(const struct stat& info, const QString& path)
{
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        throw KeyFileFailure(KeyFileFailure::NotOwnFile,
                             QStringLiteral("קובץ המפתח %1 אינו קובץ רגיל של המשתמש. המפתח לא "
                                            "נטען; יש להעביר אותו ממקומו כדי שייווצר מפתח חדש.")
                                 .arg(path));
    if ((info.st_mode & 077) != 0)
        throw KeyFileFailure(
            KeyFileFailure::Exposed,
            QStringLiteral("קובץ המפתח %1 פתוח למשתמשים אחרים (הרשאות %2). המפתח לא נטען, כי "
                           "ייתכן שנחשף; יש להגביל את הרשאותיו ל-600 (chmod 600), או להעביר אותו "
                           "ממקומו כדי שייווצר מפתח חדש.")
                .arg(path)
                .arg(info.st_mode & 0777, 3, 8, QLatin1Char('0')));
}

KeyFileFailure unreadable(const QString& path)
{
    return KeyFileFailure(
        KeyFileFailure::Unreadable,
        QStringLiteral("לא ניתן לקרוא את קובץ המפתח %1: %2").arg(path, systemError()));
}

// The key pair in the file; nothing when there is no file.
std::optional<KeyPair> readKeyFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // Not following a link, and not waiting on a pipe put there.
    Descriptor file{::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0 && errno == ENOENT)
        return std::nullopt;
    if (file.fd < 0 && errno == ELOOP) {
        struct stat link = {};
        ::lstat(name.constData(), &link);
        requireOwnPrivateFile(link, path);
    }
    struct stat info = {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0)
        throw unreadable(path);
    requireOwnPrivateFile(info, path);
    // One byte more than a key line, so a longer file shows.
    Wiped line{QByteArray(kLineLength + 1, '\0')};
    qsizetype length = 0;
    while (length < line.bytes.size()) {
        const ssize_t got = ::read(file.fd, line.bytes.data() + length, line.bytes.size() - length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw unreadable(path);
        if (got == 0)
            break;
        length += got;
    }
    return keyPairFromLine(QByteArrayView(line.bytes).first(length), path);
}

Wiped keyLine(const KeyPair& pair)
{
    KeySeed seed = pair.seed();
    Wiped printable{printableFromBytes(QByteArrayView(seed.data(), seed.size()))};
    sodium_memzero(seed.data(), seed.size());
    Wiped line;
    line.bytes.reserve(kLineLength); // appending then moves no secret around
    line.bytes.append(kKeyTag).append(printable.bytes).append('\n');
    return line;
}

void writeAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            throw Failure(systemError());
        done += put;
    }
    if (::fsync(fd) != 0)
        throw Failure(systemError());
}

// Writes a new key under a private name, created 0600, and puts it in place
// unless a file is there already.
void createKeyFile(const QString& path)
{
    QByteArray temp = QFile::encodeName(path) + ".XXXXXX";
    try {
        Descriptor file{::mkostemp(temp.data(), O_CLOEXEC)}; // mode 0600
        if (file.fd < 0)
            throw Failure(systemError());
        const KeyPair pair = KeyPair::generate();
        writeAll(file.fd, keyLine(pair).bytes);
        placeNewFile(QFile::decodeName(temp), path);
    } catch (const Failure& e) {
        ::unlink(temp.constData());
        throw KeyFileFailure(
            KeyFileFailure::Unwritable,
            QStringLiteral("לא ניתן ליצור את קובץ המפתח %1: %2").arg(path, e.description()));
    }
    ::unlink(temp.constData());
}

} // namespace

KeyPair loadOrCreateKeyPair(const QString& path)
{
    if (std::optional<KeyPair> pair = readKeyFile(path))
        return *pair;
    createKeyFile(path);
    if (std::optional<KeyPair> pair = readKeyFile(path))
        return *pair;
    errno = ENOENT;
    throw unreadable(path);
}
