// Commands of the manager window's buttons and menus: find, printing and
// copying the list (the LAN windows: RMainLanWindows.cpp).
#include "manager/RMain.h"

#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "manager/ListExport.h"
#include "manager/RFind.h"
#include "manager/ReminderPrint.h"
#include "platform/Failure.h"
#include "platform/ui/DefaultPrinter.h"
#include "platform/ui/Prompt.h"
#include "store/LanSettings.h"

namespace {

// A printout that failed is logged, and the user, who is waiting for paper,
// is told that none will come.
template <typename Body> void printing(QWidget* window, const QString& procedure, Body&& body)
{
    try {
        body();
    } catch (const std::exception& e) {
        logFailure(procedure, e);
        const auto* failure = dynamic_cast<const Failure*>(&e);
        const bool noPrinter = failure && failure->number() == DefaultPrinter::kNoDefaultPrinter;
        Prompt::message(window,
                        noPrinter ? QStringLiteral("לא הוגדרה מדפסת ברירת מחדל. ההדפסה בוטלה.")
                                  : QStringLiteral("ההדפסה נכשלה."),
                        appTitle(), Prompt::Buttons::Ok, Prompt::Icon::Exclamation);
    }
}

} // namespace

void RMain::cmdFind_Click()
{
    RFind dialog(this);
    dialog.exec();
}

void RMain::mnu_PrinCurrent_Click()
{
    printing(this, QStringLiteral("PrintCurrent"),
             [this] { PrintCurrent(currentListId(), LANOptReceive); });
}

// The list as stored now: a change not yet followed is read first.
void RMain::mnu_PrintList_Click()
{
    printing(this, QStringLiteral("PrintList"), [this] {
        ensureListCurrent();
        if (ListRs)
            PrintList(*ListRs, LANOptReceive);
    });
}

// An empty list leaves the clipboard as it was.
void RMain::mnu_CopyList_Click()
{
    trapped(QStringLiteral("CopyList"), [this] {
        ensureListCurrent();
        if (!ListRs)
            return;
        const QString text = ListAsText(*ListRs, LANOptReceive);
        if (!text.isEmpty())
            CopyToClipboard(text);
    });
}
