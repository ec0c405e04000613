#pragma once
// The application object. Its event dispatch is the program's one top-level error
// handler: an error that an operation lets through is shown in a message box, the
// operation is abandoned and the program goes on.
#include <QApplication>

class QuenmarApplication : public QApplication
{
public:
    QuenmarApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows the text of an error that reached the top level.
void ShowTopLevelError(const QString &text);

// Ends the program: closes every window and leaves the event loop.
void EndProgram();
// True once EndProgram was called (tests look at it).
bool ProgramEndRequested();
