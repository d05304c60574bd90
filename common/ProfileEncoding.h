#pragma once

#include <QByteArray>
#include <QString>

// How the bytes of a settings file are text. Ours are UTF-8 (the system code
// page here). A file that is not valid UTF-8 was carried over from the Windows
// release and is Windows-1255, the Hebrew code page. A UTF-8 byte-order mark
// is no part of the text.
struct ProfileEncoding
{
    bool windows1255 = false; // read cleanly as Windows-1255
    bool byteOrderMark = false;
};

QString decodeProfile(const QByteArray& bytes, ProfileEncoding* found);

// Writes the text back in the form the file was found in, so the programs of
// the Windows release still read a file they wrote: Windows-1255 while every
// character has a form there, else UTF-8, which holds every character. A file
// that was not clean Windows-1255 either (junk) is written as UTF-8.
QByteArray encodeProfile(const QString& text, const ProfileEncoding& encoding);
