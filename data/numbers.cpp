#include "numbers.h"

#include "errors.h"

#include <QCoreApplication>
#include <QLocale>

#include <limits>

std::optional<int> ParseWholeNumber(const QString &text, int min, int max)
{
    int i = 0;
    const bool negative = min < 0 && text.startsWith(QLatin1Char('-'));
    if (negative)
        i = 1;
    if (i >= text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < min || value > max)
        return std::nullopt;
    return int(value);
}

std::optional<double> ParseDecimal(const QString &text)
{
    const QString t = text.trimmed();
    const QChar localeSeparator = QLocale().decimalPoint().at(0);
    QString normal;
    normal.reserve(t.size());
    int digits = 0, separators = 0;
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            normal += c;
            ++digits;
        } else if (c == QLatin1Char('-') && i == 0) {
            normal += c;
        } else if (c == QLatin1Char('.') || c == localeSeparator) {
            if (++separators > 1)
                return std::nullopt;
            normal += QLatin1Char('.');
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    bool ok = false;
    const double value = normal.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

int StrToInt(const QString &text)
{
    const auto value = ParseWholeNumber(text.trimmed(), std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max());
    if (!value)
        throw ConvertError(
            QCoreApplication::translate("Database", "'%1' is not a valid integer value").arg(text));
    return *value;
}

double StrToFloat(const QString &text)
{
    const auto value = ParseDecimal(text);
    if (!value)
        throw ConvertError(
            QCoreApplication::translate("Database", "'%1' is not a valid floating point value")
                .arg(text));
    return *value;
}
