#pragma once
// The program's own wording of every form's numbered dialog texts and titles, in English
// (language 1033). A form's dialog text N is the catalogue's line when the catalogue has one
// for the form and language, else the text here.
#include <QList>
#include <QPair>
#include <QString>

// The built-in dialog text `number` of the form with objectName `form`; empty when none.
QString BuiltInDialogText(const QString &form, int number);
// The built-in dialog title `number` of the form; empty when none.
QString BuiltInDialogTitle(const QString &form, int number);

// Every (form, number) that has a built-in dialog text, for tests that walk them.
QList<QPair<QString, int>> BuiltInDialogTextKeys();
