#pragma once
// The common base of the program's forms: it sees the keys of its controls first,
// closes on Esc and keeps Ctrl+Alt+F12 for the language capture. A key that still reaches it
// after it has closed goes to the window it belongs to. It loads the form's
// language as soon as the form's designer setup has made its widgets, before the form
// fills anything from the database; a form built without a designer file, or one that takes
// its name only after the setup, loads it when it is first shown. Column titles of grids
// whose models are made after the setup are applied when the form is first shown.
#include "language/language.h"

#include <QDialog>

class QKeyEvent;

class TBaseForm : public QDialog
{
    Q_OBJECT
public:
    explicit TBaseForm(QWidget *parent = nullptr);

    TLanguage *Language1;

protected:
    // Sees every key pressed in the form before its control does; true when handled.
    virtual bool FormKeyDown(QKeyEvent *event);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void childEvent(QChildEvent *event) override;

private slots:
    // Connected by name at the end of the form's setupUi.
    void on_Language1_FormCreated();

private:
    void watch(QObject *object);

    bool m_languageLoaded = false;
    QString m_loadedAs; // the form's name when its setup loaded the language
    bool m_shown = false;
};

// The hidden capture key: F12 with Ctrl and Alt held (Shift may be held as well).
bool IsCaptureKey(const QKeyEvent *event);
// The hidden capture of a form's texts: a decoy box, then the access code; only the right
// code captures the form of `language` into the catalogue. Every form's capture key ends
// here, the main window's too.
void RunCapture(TLanguage *language);

// Tells the operator, once per run, that the language catalogue of `language` could not be
// read and the forms show their built-in texts. Nothing when it could be read.
void TellUnreadableCatalogue(const TLanguage &language);

// Shows a form modally and frees it when it closes. Once the program is ending (a form
// found while opening that it must end), the form is freed without being shown.
int ShowModalAndFree(QDialog *form);
