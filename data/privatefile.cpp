#include "privatefile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

bool CreatePrivateFile(const QString &path, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::close(fd);
    return true;
}

bool OpenPrivateForAppend(QFile &file, QIODevice::OpenMode extra)
{
    // Another writer may create it first: then it is theirs, mode and all.
    if (!file.exists())
        CreatePrivateFile(file.fileName());
    return file.open(QIODevice::Append | extra);
}
