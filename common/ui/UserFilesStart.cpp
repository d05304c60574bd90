#include "common/ui/UserFilesStart.h"

#include "common/EarlierInstallation.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "platform/Failure.h"
#include "platform/UserFiles.h"
#include "platform/ui/Prompt.h"

namespace {

void tell(const QString& text, Prompt::Icon icon)
{
    Prompt::message(nullptr, text, appTitle(), Prompt::Buttons::Ok, icon);
}

void offerEarlierDatabase()
{
    const std::optional<QString> database = EarlierInstallation::database();
    if (!database)
        return;
    const QString folder = UserFiles::folder(UserFiles::Kind::Data);
    const Prompt::Answer answer =
        Prompt::message(nullptr,
                        QStringLiteral("נמצא בסיס נתונים של התזכורון מהתקנה קודמת:\n%1\n\n"
                                       "מעתה הקבצים שלך נשמרים בתיקייה %2.\n"
                                       "להעביר אליה את התזכורות? הקובץ הישן יישאר במקומו בשם %3.")
                            .arg(*database, folder,
                                 QStringLiteral("KV_Data.mdb") + EarlierInstallation::kMovedSuffix),
                        appTitle(), Prompt::Buttons::YesNo, Prompt::Icon::Question);
    if (answer != Prompt::Answer::Yes) {
        EarlierInstallation::leave(*database);
        return;
    }
    EarlierInstallation::move(*database);
    tell(QStringLiteral("התזכורות הועברו אל %1.").arg(folder), Prompt::Icon::Information);
}

} // namespace

void PrepareUserFiles()
{
    try {
        UserFiles::checkWritable();
        offerEarlierDatabase();
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("PrepareUserFiles"), e);
        tell(describe(e), Prompt::Icon::Exclamation);
    }
}
