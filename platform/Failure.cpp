#include "platform/Failure.h"

QString describe(const std::exception& e)
{
    if (const auto* f = dynamic_cast<const Failure*>(&e))
        return f->description();
    return QString::fromLocal8Bit(e.what());
}
