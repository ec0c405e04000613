#pragma once
// A room picture from one of the bitmaps in pic/build/: scaled to `size`, every pixel of the
// bitmap's bottom-left colour made transparent. A null icon when the file does not load.
#include <QIcon>
#include <QString>

QIcon RoomIconFromBitmap(const QString &path, int size);
