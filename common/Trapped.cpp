#include "Trapped.h"

#include "Failure.h"
#include "Log.h"

void logFailure(const QString& name, const std::exception& e)
{
    WriteLog(name.isEmpty() ? describe(e) : name + QStringLiteral(": ") + describe(e), LogError);
}
