#pragma once
// Files that hold hotel data, passwords or the interface log are made readable and writable
// by their owner only. A file that exists already keeps the mode it has.
#include <QIODevice>
#include <QString>

class QFile;

// Creates `path` as an empty file of mode 0600. False, with the reason in `error`, when it
// exists already or cannot be made.
bool CreatePrivateFile(const QString &path, QString *error = nullptr);

// Opens `file` (its name set) for appending; a missing file is first created as
// CreatePrivateFile does.
bool OpenPrivateForAppend(QFile &file, QIODevice::OpenMode extra = {});
