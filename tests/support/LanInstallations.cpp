#include "tests/support/LanInstallations.h"

QString installationsOn(const LanNetwork& net, const QStringList& nicks, const E2eOptions& options,
                        Installations& sessions)
{
    for (const QString& nick : nicks) {
        sessions.push_back(installationOn(net, int(sessions.size()), nick, options));
        if (!sessions.back()->isReady())
            return nick + QStringLiteral(": ") + sessions.back()->error();
    }
    return QString();
}

QString logsOf(const Installations& sessions, qsizetype chars)
{
    QString text;
    for (const auto& s : sessions)
        text += logsOf({s.get()}, chars);
    return text;
}

qsizetype sentCount(const E2eSession& s, const QString& what)
{
    return s.logText().count(QStringLiteral("SendData: ") + what);
}

namespace {

QVariant authoredField(E2eSession& author, qint32 broadcastId, const QString& field)
{
    return author.scalarSql(
        QStringLiteral("SELECT %1 FROM Main_tbl WHERE BroadcastId = ? AND IAMAuthor = 1")
            .arg(field),
        {broadcastId});
}

} // namespace

qint32 authoredRow(E2eSession& author, qint32 broadcastId)
{
    return authoredField(author, broadcastId, QStringLiteral("RMain_Id")).toInt();
}

QString receiptsOf(E2eSession& author, qint32 broadcastId)
{
    return authoredField(author, broadcastId, QStringLiteral("ReceivedBy")).toString();
}
