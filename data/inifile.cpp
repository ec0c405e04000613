#include "inifile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <iconv.h>

namespace {

// GB18030 to UTF-16 through the C library, which always carries the codec.
QString decodeGb18030(const QByteArray &bytes)
{
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);
    QByteArray out(bytes.size() * 4 + 4, '\0');
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = bytes.size();
    char *dst = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                break;
            // An invalid or cut sequence: skip one byte and go on.
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return QString::fromUtf8(out);
}

bool isSectionLine(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith('[') || !t.contains(']'))
        return false;
    if (name)
        *name = t.mid(1, t.indexOf(']') - 1).trimmed();
    return true;
}

} // namespace

IniFile::IniFile(const QString &path) : m_path(path)
{
    load();
}

void IniFile::load()
{
    m_lines.clear();
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = decodeGb18030(bytes);
    m_eol = text.contains(QStringLiteral("\r\n")) || !text.contains('\n') ? QStringLiteral("\r\n")
                                                                          : QStringLiteral("\n");
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_lines = text.split('\n');
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

bool IniFile::save()
{
    m_error.clear();
    auto fail = [this](const QString &why) {
        m_error = QCoreApplication::translate("Settings",
                                              "The settings could not be saved to \"%1\": %2.")
                      .arg(m_path, why);
        return false;
    };
    // A file without any write permission is read-only for this program, whoever runs it.
    const QFileInfo info(m_path);
    const QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        return fail(QStringLiteral("the file is read-only"));

    QString text = m_lines.join(m_eol);
    if (!m_lines.isEmpty())
        text += m_eol;
    const QByteArray bytes = text.toUtf8();

    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly)) {
        // No temporary file beside it (a folder this program may not write, or one marked
        // unchangeable): the file itself is written in place when it can be.
        if (!info.exists())
            return fail(f.errorString());
        QFile inPlace(m_path);
        if (!inPlace.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(inPlace.errorString());
        if (inPlace.write(bytes) != bytes.size() || !inPlace.flush())
            return fail(inPlace.errorString());
        return true;
    }
    // A new settings file may hold the database server's password: the owner's only. An
    // existing one keeps its mode.
    if (!info.exists())
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (f.write(bytes) != bytes.size()) {
        const QString why = f.errorString();
        f.cancelWriting();
        return fail(why);
    }
    if (!f.commit())
        return fail(f.errorString());
    return true;
}

int IniFile::findKey(const QString &section, const QString &key, int *sectionLine) const
{
    bool inSection = false;
    if (sectionLine)
        *sectionLine = -1;
    for (int i = 0; i < m_lines.size(); ++i) {
        QString name;
        if (isSectionLine(m_lines[i], &name)) {
            if (inSection)
                break; // the first section of that name holds the key
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection && sectionLine)
                *sectionLine = i;
            continue;
        }
        if (!inSection)
            continue;
        const QString &line = m_lines[i];
        const int eq = line.indexOf('=');
        if (eq <= 0 || line.trimmed().startsWith(';'))
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString IniFile::ReadString(const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    const int i = findKey(section, key);
    if (i < 0)
        return defaultValue;
    QString value = m_lines[i].mid(m_lines[i].indexOf('=') + 1).trimmed();
    if (value.size() >= 2 && ((value.startsWith('"') && value.endsWith('"')) ||
                              (value.startsWith('\'') && value.endsWith('\''))))
        value = value.mid(1, value.size() - 2);
    return value;
}

int IniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = ReadString(section, key, QString());
    bool ok = false;
    int v = text.toInt(&ok);
    if (!ok && text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        v = text.mid(2).toInt(&ok, 16);
    return ok ? v : defaultValue;
}

bool IniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

QTime IniFile::ParseTime(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *format : {"HH:mm:ss", "H:mm:ss", "HH:mm", "H:mm"}) {
        const QTime v = QTime::fromString(t, QString::fromLatin1(format));
        if (v.isValid())
            return v;
    }
    return QTime();
}

QTime IniFile::ReadTime(const QString &section, const QString &key, const QTime &defaultValue) const
{
    const QTime t = ParseTime(ReadString(section, key, QString()));
    return t.isValid() ? t : defaultValue;
}

bool IniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    load(); // another writer may have changed the file since it was read
    int sectionLine = -1;
    const int i = findKey(section, key, &sectionLine);
    const bool needsQuotes =
        value != value.trimmed() ||
        (value.size() >= 2 && (value.startsWith('"') || value.startsWith('\'')) &&
         value.endsWith(value.front()));
    const QString written = needsQuotes ? '"' + value + '"' : value;
    const QString line = key + '=' + written;
    if (i >= 0) {
        // Keep the key as the file spells it.
        m_lines[i] = m_lines[i].left(m_lines[i].indexOf('=')).trimmed() + '=' + written;
    } else if (sectionLine >= 0) {
        // After the last key line of the section, before trailing blank lines.
        int insertAt = sectionLine + 1;
        for (int j = sectionLine + 1; j < m_lines.size() && !isSectionLine(m_lines[j], nullptr);
             ++j) {
            if (!m_lines[j].trimmed().isEmpty())
                insertAt = j + 1;
        }
        m_lines.insert(insertAt, line);
    } else {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append('[' + section + ']');
        m_lines.append(line);
    }
    return save();
}

bool IniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool IniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::WriteTime(const QString &section, const QString &key, const QTime &value)
{
    return WriteString(section, key, TimeText(value));
}
