#include "RMain.h"

#include "WindowCaptions.h"

namespace {
RMain* g_instance = nullptr;
}

RMain::RMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("RMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setLayoutDirection(Qt::RightToLeft);
    setWindowTitle(managerWindowCaption());
    resize(800, 600);
}

RMain::~RMain() { g_instance = nullptr; }

RMain* RMain::instance() { return g_instance; }

RMain* RMain::load()
{
    if (!g_instance)
        g_instance = new RMain;
    return g_instance;
}

void RMain::ShowIndex(qint32) {}
