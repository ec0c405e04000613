#include "roomicon.h"

#include <QImage>
#include <QPixmap>

QIcon RoomIconFromBitmap(const QString &path, int size)
{
    QImage image(path);
    if (image.isNull())
        return QIcon();
    const QRgb background = image.pixel(0, image.height() - 1);
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (background & 0xFFFFFF))
                line[x] = 0;
    }
    return QIcon(QPixmap::fromImage(
        image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
