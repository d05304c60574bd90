#include "trust/ColleagueKeys.h"

#include "platform/Failure.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

// A file of every colleague at most: nickname, key, flag and separators.
constexpr qint64 kMaxFileBytes = qint64(kMaxPinnedColleagues) * 128;

std::optional<ColleagueKeys::Colleague> readLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 3 || fields[0].isEmpty())
        return std::nullopt;
    const std::optional<PublicKey> key = publicKeyFromText(fields[1]);
    if (!key || (fields[2] != "0" && fields[2] != "1"))
        return std::nullopt;
    return ColleagueKeys::Colleague{QString::fromUtf8(fields[0]), *key, fields[2] == "1"};
}

} // namespace

bool ColleagueKeys::load()
{
    QFile file(m_path);
    if (!file.exists()) {
        m_colleagues.clear();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QList<Colleague> read;
    for (const QByteArray& line : file.read(kMaxFileBytes).split('\n'))
        if (const auto colleague = readLine(line); colleague && read.size() < kMaxPinnedColleagues)
            read.append(*colleague);
    m_colleagues = read;
    return true;
}

void ColleagueKeys::save() const
{
    QByteArray text;
    for (const Colleague& c : m_colleagues)
        text += c.nickname.toUtf8() + '\t' + publicKeyText(c.key) + '\t' +
                (c.confirmed ? "1" : "0") + '\n';
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw Failure(QStringLiteral("לא ניתן לשמור את מפתחות העמיתים בקובץ %1: %2")
                          .arg(m_path, file.errorString()));
}

const ColleagueKeys::Colleague* ColleagueKeys::find(const QString& nickname) const
{
    const auto it = std::find_if(m_colleagues.cbegin(), m_colleagues.cend(),
                                 [&](const Colleague& c) { return c.nickname == nickname; });
    return it == m_colleagues.cend() ? nullptr : &*it;
}

std::optional<PublicKey> ColleagueKeys::keyOf(const QString& nickname) const
{
    const Colleague* colleague = find(nickname);
    return colleague ? std::optional(colleague->key) : std::nullopt;
}

bool ColleagueKeys::isPinnedKey(const PublicKey& key) const
{
    return std::any_of(m_colleagues.cbegin(), m_colleagues.cend(),
                       [&](const Colleague& c) { return c.key == key; });
}

bool ColleagueKeys::pin(const QString& nickname, const PublicKey& key)
{
    if (find(nickname) || m_colleagues.size() >= kMaxPinnedColleagues)
        return false;
    m_colleagues.append({nickname, key, false});
    return true;
}

bool ColleagueKeys::confirm(const QString& nickname)
{
    Colleague* colleague = const_cast<Colleague*>(find(nickname));
    if (!colleague)
        return false;
    colleague->confirmed = true;
    return true;
}

bool ColleagueKeys::forget(const QString& nickname)
{
    return m_colleagues.removeIf([&](const Colleague& c) { return c.nickname == nickname; }) > 0;
}
