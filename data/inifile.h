#pragma once
// A reader and writer of Windows initialisation files (sections of key=value lines).
// Section and key names match without regard to letter case. Line ends (CRLF or LF) are
// kept. Text is UTF-8; a file whose bytes are not valid UTF-8 is read as GB18030.
// Each write goes to the file at once and touches only the line of its key.
#include <QString>
#include <QStringList>
#include <QTime>

class IniFile
{
public:
    explicit IniFile(const QString &path);

    QString path() const { return m_path; }

    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    // The text as a decimal integer; the default for a missing key or a text that is no integer.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    // HH:mm:ss (also H:mm:ss and HH:mm); the default for anything else.
    QTime ReadTime(const QString &section, const QString &key, const QTime &defaultValue) const;

    // Write one key to the file now. Returns false when the file cannot be written;
    // ErrorText() then names the file and why. A value with surrounding blanks is written
    // between double quotes, so that it reads back as it was.
    [[nodiscard]] bool WriteString(const QString &section, const QString &key,
                                   const QString &value);
    [[nodiscard]] bool WriteInteger(const QString &section, const QString &key, int value);
    [[nodiscard]] bool WriteBool(const QString &section, const QString &key, bool value);
    [[nodiscard]] bool WriteTime(const QString &section, const QString &key, const QTime &value);

    // Why the last write failed, naming the file; empty after a write that succeeded.
    QString ErrorText() const { return m_error; }

    // The text form in which times are written and read.
    static QString TimeText(const QTime &t) { return t.toString(QStringLiteral("HH:mm:ss")); }
    static QTime ParseTime(const QString &text);

private:
    void load();
    bool save();
    // Index of the key's line inside the section, or -1; sectionLine receives the
    // section's header line (or -1).
    int findKey(const QString &section, const QString &key, int *sectionLine = nullptr) const;

    QString m_path;
    QStringList m_lines;
    QString m_eol = QStringLiteral("\r\n");
    QString m_error;
};
