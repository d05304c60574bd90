#pragma once

#include <QString>

// The files of the installation's trust, beside the database: its key pair
// (KeyFile.h), the counter of its signatures (SignatureCounter.h) and the
// colleagues it knows by key (ColleagueKeys.h). Both programs use them.
namespace TrustFiles {

QString keyFile();
QString counterFile();
QString colleaguesFile();
QString keptCountersFile();

} // namespace TrustFiles
