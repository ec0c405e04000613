#pragma once
// Errors where Qt calls the program. Qt's own frames must never see an exception, so every
// slot, event handler and timer the program connects runs inside a guard: an error that an
// operation lets through is shown in a message box, the handler returns and the program
// goes on. QuenmarApplication::notify stays as the last backstop.
#include <QString>

#include <concepts>
#include <functional>
#include <utility>

// Shows the text of an error that reached the top level.
void ShowTopLevelError(const QString &text);

// Runs `body`; a database, conversion or other error it raises is shown with
// ShowTopLevelError. Returns false when an error was shown.
bool RunGuarded(const std::function<void()> &body);

// A callable for connect(): the same call inside RunGuarded. The signal's arguments are
// handed on as far as `body` takes them (Qt drops the rest).
template <class F> auto Guarded(F body)
{
    return [body = std::move(body)]<class... Args>(
        Args && ...args) mutable requires std::invocable<F &, Args...>
    {
        RunGuarded([&] { body(std::forward<Args>(args)...); });
    };
}

// Ends the program: closes every window and leaves the event loop.
void EndProgram();
// True once EndProgram was called (tests look at it).
bool ProgramEndRequested();
