#pragma once

#include <QString>

// Mounts that only this test process and the programs it starts see: the
// first call moves the calling thread (the test's main thread, whose
// children inherit it) into a mount namespace of its own, so nothing is
// mounted for the rest of the machine and everything goes with the
// process. Needs root (CI runs the tests as root); false with *error saying
// why otherwise, for the test to skip.
namespace PrivateMounts {

bool enter(QString* error);
// The folder, read-only from now on, even for root.
bool makeReadOnly(const QString& dir, QString* error);
// An empty file system of that size on the folder, as a small disk.
bool smallDisk(const QString& dir, qint64 bytes, QString* error);
// Fills the disk of the folder with the file named, till no byte more fits.
void fill(const QString& file);
// The files of tree (its usr/ and etc/) over /usr and /etc, read-only: an
// installation into tree seen where it was meant to be installed.
bool overlaySystem(const QString& tree, QString* error);
// Takes back what overlaySystem put there.
void removeOverlays();
// Takes back what was mounted on the folder.
void unmount(const QString& dir);

} // namespace PrivateMounts
