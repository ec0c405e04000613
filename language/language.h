#pragma once
// The language component every form carries. It keeps the form's language id and hands
// out the form's numbered dialog texts.
#include <QObject>
#include <QString>

class TLanguage : public QObject
{
    Q_OBJECT
public:
    explicit TLanguage(QObject *parent);

    int LanguageID = 1033;
    void SetLanguageID(int id) { LanguageID = id; }

    // Numbered texts of the form's dialogs: the catalogue's, else the program's built-in
    // wording (language/dialogtexts.h), else empty.
    QString GetDialogText(int number) const;
    QString GetDialogTitle(int number) const;

    // The hidden capture of the form's texts (Ctrl+Alt+F12).
    void Capture();

private:
    // The objectName of the form that carries this component.
    QString formName() const;
};
