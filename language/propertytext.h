#pragma once
// The texts of a form's components as the language catalogue stores them: one line per
// property, "name:value".
//
// How a component's texts map onto Qt:
// - A string line is a QString property of the object's meta-object, written in the
//   meta-object's order (base classes first). Only caption-like properties are written and
//   applied (titles, texts of labels, buttons and actions, tool tips, place-holder texts and
//   the like); never what a person types into an input field (a line edit's text, a text
//   edit's contents, a spin box's value, a combo box's current text).
// - Three object lines follow the string lines when the object has something to list:
//   "items:QStringList" (the items of a combo box or list widget) followed by one list item
//   line per item: ten blanks, the index, ":", the text;
//   "columns:QHeaderView" (the column titles of a table or tree view, through the model's
//   header data) and "tabs:QTabBar" (the tab texts of a tab widget), each followed by one
//   collection item line per item: three blanks, the index, ":", the text.
// - Values keep their line breaks: "\", CR and LF are written as "\\", "\r" and "\n".
// - A property whose name contains NAME in any letter case (objectName, accessibleName) is
//   written but never applied.
#include <QList>
#include <QStringList>

class QObject;
class QWidget;

// Which lines a load applies: everything, or only the column titles and tab texts (for views
// whose models exist only once the form has filled itself).
enum class LoadScope { All, Collections };

// The components of a form whose texts the catalogue keeps, in creation order: its named
// widgets and actions, without Qt's internal children, without other forms inside it, and
// without the objects in `skip`.
QList<QObject *> FormComponents(QWidget *form, const QList<QObject *> &skip = {});

// A label whose dynamic property of this name is true is a status line: it shows the result of
// the form's last command. Its text is empty in the design, and the capture writes it empty,
// never the result shown at that moment.
inline constexpr char kStatusLineProperty[] = "statusLine";

// The lines of an object; item lines only when `withItems`.
QStringList CapturePropertyLines(QObject *object, bool withItems);

// Applies stored lines to an object. Lines naming nothing the object has are skipped.
void ApplyPropertyLines(QObject *object, const QStringList &lines,
                        LoadScope scope = LoadScope::All);

// Line breaks and backslashes of a value, written so that the value stays one line.
QString EscapePropertyValue(const QString &value);
QString UnescapePropertyValue(const QString &text);
