#include "tests/support/PromptGuard.h"

#include "platform/ui/Prompt.h"

#include <QTest>

namespace {

int g_realBoxes = 0;

// Nothing when a real box is wanted; otherwise the test fails here.
bool unanswered(const Prompt::Shown& box)
{
    if (g_realBoxes > 0)
        return false;
    QTest::qFail(
        qPrintable(QStringLiteral("a box nobody answers: ") + box.title + " | " + box.text),
        __FILE__, __LINE__);
    return true;
}

} // namespace

void installPromptGuard()
{
    Prompt::setScript(
        [](const Prompt::Shown& box) -> std::optional<Prompt::Answer> {
            if (!unanswered(box))
                return std::nullopt;
            return Prompt::cancelAnswer(box.buttons);
        },
        [](const Prompt::Shown& box) -> std::optional<QString> {
            if (!unanswered(box))
                return std::nullopt;
            return QString();
        });
}

RealBoxes::RealBoxes()
{
    ++g_realBoxes;
}

RealBoxes::~RealBoxes()
{
    --g_realBoxes;
}
