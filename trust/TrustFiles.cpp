#include "trust/TrustFiles.h"

#include "common/ReminderFile.h"
#include "platform/UserFiles.h"

QString TrustFiles::keyFile()
{
    return UserFiles::dataFile(TrustFileNames::keyPair);
}

QString TrustFiles::counterFile()
{
    return UserFiles::dataFile(TrustFileNames::counter);
}

QString TrustFiles::colleaguesFile()
{
    return UserFiles::dataFile(TrustFileNames::colleagues);
}

QString TrustFiles::keptCountersFile()
{
    return UserFiles::dataFile(TrustFileNames::keptCounters);
}
