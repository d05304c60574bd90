#include "common/Trapped.h"

#include "common/Log.h"
#include "platform/Failure.h"

void logFailure(const QString& name, const std::exception& e)
{
    WriteLog(name.isEmpty() ? describe(e) : name + QStringLiteral(": ") + describe(e), LogError);
}
