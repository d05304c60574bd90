#pragma once

#include <QString>

#include <functional>

class QObject;

// The broker's password is never in the settings file. It is kept in the
// desktop's keyring (the Secret Service, service "veltrum-reminder", named
// after the broker's user and address as stored: "<user>@<address>"; so the
// settings are written before the password) and, where there is none or it
// cannot keep one (it has no collection, logged), in a file of the user's
// data folder that the user alone may read ("Kalvex.broker", mode 0600, one
// line). A file that is not the user's own or that others may read is
// refused, said in Hebrew: the password in it may be known.
namespace BrokerPassword {

// Gives the password, or an empty one with why it could not be read (Hebrew)
// when none is kept or it cannot be read. The answer comes later, through
// the event loop, in the context's thread; never when the context is gone.
void read(QObject* context,
          std::function<void(const QString& password, const QString& error)> done);
// Keeps the password (an empty one forgets it); the answer is empty, or why
// it could not be kept (Hebrew).
void write(QObject* context, const QString& password,
           std::function<void(const QString& error)> done);

// The file used where there is no keyring.
QString fallbackFile();

} // namespace BrokerPassword
