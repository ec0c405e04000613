#pragma once
// Numbered texts of the message library, loaded from the program folder for each call.
#include <QString>

// The library file for the interface language of the settings record.
QString MessageLibraryPath();
// Unit text n; empty when the library or the entry cannot be found.
QString GetUnitText(int number);
// Message n in a message box captioned with unit 0; nothing when the library is missing.
void ShowMessageByNo(int number);
// Replaces the first "%s" of a format with the argument.
QString FormatText(const QString &format, const QString &argument);
