#pragma once
// The one seam for message boxes, input boxes and file dialogs. Forms and operations
// call these functions; the program installs the real widgets, tests install a script.
#include <QString>

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgResult { Ok, Cancel, Yes, No };

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    virtual MsgResult message(const QString &text, const QString &caption, MsgIcon icon,
                              MsgButtons buttons) = 0;
    // Returns false when the operator cancels; value holds the default on entry.
    virtual bool inputText(const QString &caption, const QString &prompt, QString &value) = 0;
    // Empty text when cancelled. `folder` is where the dialog starts (empty: its default).
    virtual QString openFileName(const QString &caption, const QString &filter,
                                 const QString &folder = QString()) = 0;
    // The dialog does not ask about an existing file: the caller decides what to do with it.
    virtual QString saveFileName(const QString &caption, const QString &filter,
                                 const QString &suggested) = 0;
};

// The installed dialogs (the widget implementation unless a test replaced it).
Dialogs &dialogs();
// Installs another implementation; nullptr restores the widget one. Not owned.
void setDialogs(Dialogs *replacement);

// Shorthands used all over the program.
MsgResult ShowMessage(const QString &text, const QString &caption = QString(),
                      MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok);
