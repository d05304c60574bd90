#pragma once

#include <QString>

class QWidget;

// Finding a top-level window of any process by its exact title, over the
// D-Bus session bus: a published window owns a well-known bus name derived
// from its title and serves Close() and Activate() on it.
namespace WindowDirectory {

// Publishes the window under its current title (and follows later title
// changes) until it is destroyed. Returns false when the bus is unavailable.
bool publish(QWidget* window);

// True when some process has published a window with exactly this title.
bool exists(const QString& title);
// Sends the close request and returns after the window has handled it;
// modal windows open in the window's process are ended first (a window of
// this process then closes once they have). Returns false when no such
// window exists or the call failed; a window of another process that does
// not answer within kPeerWaitMs (PeerWait.h) counts as failed. *error, when
// given, then says why (left alone when there is no such window).
bool close(const QString& title, QString* error = nullptr);
// Restores, raises and activates the window; false as for close().
bool activate(const QString& title, QString* error = nullptr);

// The bus name that stands for a title.
QString busNameFor(const QString& title);

} // namespace WindowDirectory
