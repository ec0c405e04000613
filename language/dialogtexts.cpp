#include "dialogtexts.h"

#include <QtGlobal>
#include <QHash>

namespace {

struct Entry
{
    const char *form; // the form's objectName
    int number;
    const char *text; // UTF-8
};

// Dialog texts, by form and number. Keep each form's entries together, in number order.
const Entry kDialogTexts[] = {
    // The main window: board status bar, backup and restore.
    {"MainForm", 2, QT_TRANSLATE_NOOP("MainForm", "Data backup and recovery")},
    {"MainForm", 3, QT_TRANSLATE_NOOP("MainForm", "The backup is done.")},
    {"MainForm", 4,
     QT_TRANSLATE_NOOP("MainForm",
                       "A file of this name already exists; it was left as it is. Choose another "
                       "name.")},
    {"MainForm", 6,
     QT_TRANSLATE_NOOP("MainForm",
                       "The data is restored. The data it replaced is kept in this file:")},
    {"MainForm", 7, QT_TRANSLATE_NOOP("MainForm", "The file to restore from does not exist.")},
    {"MainForm", 8, QT_TRANSLATE_NOOP("MainForm", "Refresh")},
    {"MainForm", 9, QT_TRANSLATE_NOOP("MainForm", "All buildings")},
    {"MainForm", 10, QT_TRANSLATE_NOOP("MainForm", "All floors")},
    {"MainForm", 11,
     QT_TRANSLATE_NOOP("MainForm", "The data was not restored; the working data is unchanged.")},
    {"MainForm", 12,
     QT_TRANSLATE_NOOP("MainForm", "The backup failed; no backup file was written.")},
    {"MainForm", 13,
     QT_TRANSLATE_NOOP("MainForm",
                       "The database server is backed up with pg_dump, which is not installed on "
                       "this workstation. Install the database server's client programs and try "
                       "again.")},
    {"MainForm", 14,
     QT_TRANSLATE_NOOP("MainForm",
                       "This workstation uses the shared database server. The server's database "
                       "is restored by its administrator with pg_restore, not from a "
                       "workstation.")},
    {"MainForm", 15,
     QT_TRANSLATE_NOOP("MainForm",
                       "This file is the database the program is working on; nothing was restored. "
                       "Choose a backup file to restore from.")},
    {"MainForm", 16,
     QT_TRANSLATE_NOOP(
         "MainForm",
         "The file has no operator account. After the restore, the next start will create "
         "the first administrator. Restore from this file?")},
    {"MainForm", 17,
     QT_TRANSLATE_NOOP(
         "MainForm",
         "No operator of the file can manage operators and log on (none with that right has "
         "a password). After the restore, nobody can manage operator accounts. Restore from "
         "this file?")},
    // Stay extension and copy: the start of a recorded card's explanation, before the room.
    // Stored with the card's record, so not translated.
    {"ModifyGuestCard_Form", 2, "Stay extended, room "},
    {"CopyGuestCard_Form", 2, "Copy of guest card, room "},
    // The issue log: status line prefix, the card type entry for all types, and the texts of
    // the hidden capture's two prompts.
    {"MC_R_From", 0, QT_TRANSLATE_NOOP("MC_R_From", "Record: ")},
    {"MC_R_From", 1, QT_TRANSLATE_NOOP("MC_R_From", "All card types")},
    {"MC_R_From", 13,
     QT_TRANSLATE_NOOP("MC_R_From", "The file does not exist. Please choose another one!")},
    {"MC_R_From", 14, QT_TRANSLATE_NOOP("MC_R_From", "Verification code:")},
    // The door log: the texts of the hidden capture's two prompts.
    {"OpenDoorRecord_Form", 13,
     QT_TRANSLATE_NOOP("OpenDoorRecord_Form",
                       "The file does not exist. Please choose another one!")},
    {"OpenDoorRecord_Form", 14, QT_TRANSLATE_NOOP("OpenDoorRecord_Form", "Verification code:")},
    // The operation log.
    {"OperationLog_Form", 0, QT_TRANSLATE_NOOP("OperationLog_Form", "Record: ")},
    {"OperationLog_Form", 1, QT_TRANSLATE_NOOP("OperationLog_Form", "All operators")},
    {"OperationLog_Form", 2, QT_TRANSLATE_NOOP("OperationLog_Form", "All actions")},
    {"OperationLog_Form", 3,
     QT_TRANSLATE_NOOP("OperationLog_Form",
                       "Are you sure to delete all operation log rows before %1?")},
    {"OperationLog_Form", 13,
     QT_TRANSLATE_NOOP("OperationLog_Form", "The file does not exist. Please choose another one!")},
    {"OperationLog_Form", 14, QT_TRANSLATE_NOOP("OperationLog_Form", "Verification code:")},
};

// Dialog titles, by form and number.
const Entry kDialogTitles[] = {
    {"MainForm", 0, "Orvane"},
};

using Table = QHash<QString, QHash<int, QString>>;

Table build(const Entry *begin, const Entry *end)
{
    Table table;
    for (const Entry *e = begin; e != end; ++e)
        table[QString::fromLatin1(e->form)].insert(e->number, QString::fromUtf8(e->text));
    return table;
}

const Table &texts()
{
    static const Table table = build(std::begin(kDialogTexts), std::end(kDialogTexts));
    return table;
}

const Table &titles()
{
    static const Table table = build(std::begin(kDialogTitles), std::end(kDialogTitles));
    return table;
}

} // namespace

QString BuiltInDialogText(const QString &form, int number)
{
    return texts().value(form).value(number);
}

QString BuiltInDialogTitle(const QString &form, int number)
{
    return titles().value(form).value(number);
}

QList<QPair<QString, int>> BuiltInDialogTextKeys()
{
    QList<QPair<QString, int>> keys;
    for (const Entry &e : kDialogTexts)
        keys.append({QString::fromLatin1(e.form), e.number});
    return keys;
}
