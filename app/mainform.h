#pragma once
#include "language/language.h"
#include "roomboard.h"
#include "ui/baseform.h"

#include <QIcon>
#include <QMainWindow>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QTimer;
class QToolButton;
class RoomBoardModel;
namespace Ui {
class MainForm;
}

// The main window: the room board, the commands and the operator's rights.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    TLanguage *Language1;
    QToolButton *Refresh_Bt;
    QComboBox *BuildingFilter_CB;
    QComboBox *FloorFilter_CB;
    QMenu *PopupMenu1;
    QTimer *RoomBoardTimer;
    QTimer *CardBusyTimer;
    QList<QIcon> RoomIcons;

    // True when creation found that the program must end (the operator is gone).
    bool Ended() const { return m_ended; }

    void InitializeForm();
    void LoadICon();
    void SetRoom_LV();
    void PopedomSet();
    void InitMenu();

    // The board's rooms as shown, and the door plates of the selected ones in board order.
    const QVector<BoardRoom> &BoardRooms() const;
    QStringList SelectedRooms() const;
    int FirstSelectedPicture() const;

public slots:
    void PopupMenu1Popup();
    void mi_GuestInClick();
    void mi_CopyGuestCardClick();
    void mi_GuestLeaveClick();
    void EncodeCard_MenuClick();
    void ReadCard_MenuClick();
    void ClearCard_MenuClick();
    void CheckIn_MenuClick();
    void CheckOut_MenuClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildStatusBar();
    void connectCommands();
    // Enables a command whose form this workstation has; the others stay disabled.
    void setCommandEnabled(QAction *action, bool enabled);
    // Runs a command inside the error guard, unless another command's form is still open.
    void RunCommand(const std::function<void()> &command);
    // A command that opens a form of this class modally and frees it when it closes.
    template <class Form> std::function<void()> OpenForm()
    {
        return [this] { ShowModalAndFree(new Form(this)); };
    }

    Ui::MainForm *ui;
    RoomBoardModel *m_board;
    QList<QLabel *> m_panels;
    bool m_readDataCardByEncoder = false;
    bool m_ended = false;
    bool m_commandRunning = false;
    std::function<void()> m_pendingCommand; // typed while the running command's form closed
};

// The help document `file` of the program folder in the language of the run: "Manual.2052.htm"
// for "Manual.htm" in language 2052 when the folder has it, else the English document.
QString HelpDocumentPath(const QString &file);
