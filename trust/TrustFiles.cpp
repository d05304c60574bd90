#include "trust/TrustFiles.h"

#include "platform/ProgramDir.h"

QString TrustFiles::keyFile()
{
    return ProgramDir::file(QStringLiteral("Kalvex.key"));
}

QString TrustFiles::counterFile()
{
    return ProgramDir::file(QStringLiteral("Kalvex.sigcount"));
}

QString TrustFiles::colleaguesFile()
{
    return ProgramDir::file(QStringLiteral("Kalvex.colleagues"));
}
