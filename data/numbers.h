#pragma once
// The one strict number parser: what a person typed into a number box, read whole or not
// at all. No blanks, no sign unless the range allows negatives, no trailing text.
#include <QString>

#include <optional>

// A whole number of decimal digits (a leading "-" only when min < 0) within [min, max];
// nothing for anything else, an empty text included.
std::optional<int> ParseWholeNumber(const QString &text, int min, int max);

// A decimal number: digits with at most one separator, which may be "." or the locale's
// decimal separator; a leading "-" is allowed. Surrounding blanks are ignored.
std::optional<double> ParseDecimal(const QString &text);

// A whole number (surrounding blanks ignored); throws ConvertError naming the text.
int StrToInt(const QString &text);
// A decimal as ParseDecimal reads it; throws ConvertError naming the text.
double StrToFloat(const QString &text);
