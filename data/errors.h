#pragma once
// Errors that operations do not handle themselves. They travel up to the application's
// event dispatch, which shows the text and lets the program go on.
#include <QString>
#include <stdexcept>

class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

// A statement the database refused, a missing table, a lost connection.
class DbError : public AppError
{
public:
    using AppError::AppError;
};

// The file at a database path is no database this program can open.
class NotADatabaseError : public DbError
{
public:
    using DbError::DbError;
};

// A text that should have been a number, a date or a time.
class ConvertError : public AppError
{
public:
    using AppError::AppError;
};

