#include "mainform.h"

#include "aboutform.h"
#include "backupcommands.h"
#include "cards/bookkeeping.h"
#include "cards/cardcommand.h"
#include "cdform.h"
#include "data/appdir.h"
#include "data/dm.h"
#include "data/fileversion.h"
#include "data/rights.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "encoder.h"
#include "operationlogform.h"
#include "operators/changepasswordform.h"
#include "operators/operatorform.h"
#include "pms/client.h"
#include "setup/districtsettingform.h"
#include "setup/roominfoform.h"
#include "setup/roomtypeform.h"
#include "staffcards/checkcardform.h"
#include "staffcards/issuelogform.h"
#include "staffcards/makecardform.h"
#include "staffcards/opendoorrecordform.h"
#include "staffcards/readdatacardform.h"
#include "stays/clockroomform.h"
#include "stays/copyguestcardform.h"
#include "stays/guestleaveform.h"
#include "stays/guestquickinform.h"
#include "stays/modifyguestcardform.h"
#include "stays/roomlistform.h"
#include "stays/stays.h"
#include "systeminfoform.h"
#include "ui/baseform.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui/roomicon.h"
#include "ui_mainform.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <optional>
#include <utility>

namespace {
const QString kTitle = QStringLiteral("Orvane V18.0");

// Opens a document of the program folder with the desktop's viewer; a missing file or
// viewer shows nothing.
void OpenHelpDocument(const QString &file)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(HelpDocumentPath(file)));
}
const char *const kIconFiles[] = {"Normal.bmp", "Normal_ModiRoom.bmp", "GuestIn.BMP",
                                  "GuestIn_ModiRoom.BMP"};
} // namespace

QString HelpDocumentPath(const QString &file)
{
    const QFileInfo english(ProgramPath(file));
    const QString own = ProgramPath(QStringLiteral("%1.%2.%3")
                                        .arg(english.completeBaseName())
                                        .arg(LockSystemInfo.LanguageID)
                                        .arg(english.suffix()));
    return QFileInfo(own).isFile() ? own : english.filePath();
}

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent), Language1(new TLanguage(this)), ui(new Ui::MainForm),
      m_board(new RoomBoardModel(this))
{
    ui->setupUi(this);
    // The catalogue's texts go on before the window fills anything from the database.
    Language1->SetLanguageID(LockSystemInfo.LanguageID);
    TellUnreadableCatalogue(*Language1);
    Language1->LoadLanguage();
    m_board->icons = &RoomIcons;
    ui->Room_LV->setModel(m_board);
    connectCommands();

    InitializeForm();
    LoadICon();
    m_panels[4]->setText(kTitle);
    m_panels[5]->setText(TFileVersion().GetValue(QStringLiteral("CompanyName")));
    m_panels[6]->setText(' ' + LockSystemInfo.StafferName);
    setWindowTitle(m_panels[4]->text());
    SetRoom_LV();
    PopedomSet();
    if (ProbeEncoder())
        m_readDataCardByEncoder = EncoderHandshake();
    else
        ShowMessage(tr("No encoder found,demo only"), tr("Connecting warning"),
                    MsgIcon::Information);
    InitMenu();

    RoomBoardTimer = new QTimer(this);
    RoomBoardTimer->setObjectName(QStringLiteral("RoomBoardTimer"));
    connect(RoomBoardTimer, &QTimer::timeout, this, Guarded([this] {
                if (RoomBoardDirty) {
                    // Cleared first: while the error box of a failed rebuild is open, the
                    // next ticks do not try (and report) again.
                    RoomBoardDirty = false;
                    SetRoom_LV();
                }
            }));
    RoomBoardTimer->start(3000);
    CardBusyTimer = new QTimer(this);
    CardBusyTimer->setObjectName(QStringLiteral("CardBusyTimer"));
    // A command still under way keeps the flag, so the clicks that arrive after its end
    // until the next tick are dropped as well.
    connect(CardBusyTimer, &QTimer::timeout, this, Guarded([] {
                if (!CardCommandRunning())
                    CardBusy = false;
            }));
    CardBusyTimer->start(500);

    // Key cards asked for by the property management system, when it is configured.
    QString pmsProblem;
    if (pms::Client *client = pms::StartConfiguredClient(this, &pmsProblem)) {
        m_panels[7]->setText(pms::Client::ShownStateText(client->state()));
        connect(client, &pms::Client::stateChanged, this, [this](pms::Client::State state) {
            m_panels[7]->setText(pms::Client::ShownStateText(state));
        });
    } else {
        m_panels[7]->setText(pmsProblem);
    }
}

TMainForm::~TMainForm()
{
    delete ui;
}

void TMainForm::buildStatusBar()
{
    // Eight panels: refresh button, building filter, floor filter, an empty one, the title,
    // the company, the operator and an empty one.
    const int widths[] = {50, 50, 50, 50, 150, 150, 150, 150};
    for (int i = 0; i < 8; ++i) {
        QWidget *panel = nullptr;
        if (i == 0)
            panel = Refresh_Bt;
        else if (i == 1)
            panel = BuildingFilter_CB;
        else if (i == 2)
            panel = FloorFilter_CB;
        if (!panel) {
            auto *label = new QLabel(this);
            label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
            panel = label;
        }
        m_panels.append(qobject_cast<QLabel *>(panel));
        if (i <= 2) {
            // The refresh button and the two filters are at least as wide as their texts
            // ("Refresh", "All buildings", "All floors" and the longest entry).
            if (auto *box = qobject_cast<QComboBox *>(panel))
                box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            panel->setMinimumWidth(std::max(widths[i], panel->sizeHint().width()));
        } else {
            panel->setFixedWidth(widths[i]);
        }
        ui->StatusBar1->addWidget(panel);
    }
}

void TMainForm::InitializeForm()
{
    setWindowTitle(kTitle);
    Refresh_Bt = new QToolButton(this);
    Refresh_Bt->setObjectName(QStringLiteral("Refresh_Bt"));
    Refresh_Bt->setText(Language1->GetDialogText(8));
    Refresh_Bt->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    Refresh_Bt->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Made after the window's texts were loaded: its captured texts go on now.
    Language1->LoadComponent(Refresh_Bt);
    connect(Refresh_Bt, &QToolButton::clicked, this, Guarded([this] { SetRoom_LV(); }));

    BuildingFilter_CB = new QComboBox(this);
    BuildingFilter_CB->setObjectName(QStringLiteral("BuildingFilter_CB"));
    FloorFilter_CB = new QComboBox(this);
    FloorFilter_CB->setObjectName(QStringLiteral("FloorFilter_CB"));
    const struct
    {
        QComboBox *box;
        int kind;
        int allText;
    } filters[] = {{BuildingFilter_CB, 4, 9}, {FloorFilter_CB, 5, 10}};
    for (const auto &f : filters) {
        QStringList items;
        dm->GetDataTypeItems(f.kind, items, QString());
        items.append(Language1->GetDialogText(f.allText));
        f.box->addItems(items);
        f.box->setCurrentIndex(f.box->count() - 1);
        connect(f.box, &QComboBox::currentIndexChanged, this, Guarded([this] { SetRoom_LV(); }));
    }
    buildStatusBar();
}

void TMainForm::LoadICon()
{
    RoomIcons.clear();
    const int size = style()->pixelMetric(QStyle::PM_LargeIconSize);
    for (const char *file : kIconFiles) {
        const QIcon icon = RoomIconFromBitmap(
            ProgramPath(QStringLiteral("pic/build/") + QString::fromLatin1(file)), size);
        // A missing file: the window has no icon of its own, so the picture is empty.
        RoomIcons.append(icon.isNull() ? windowIcon() : icon);
    }
    const int size2 = size;
    ui->Room_LV->setIconSize(QSize(size2, size2));
    ui->Room_LV->setGridSize(QSize(size2 + 44, size2 + 30));
}

const QVector<BoardRoom> &TMainForm::BoardRooms() const
{
    return m_board->rooms;
}

void TMainForm::SetRoom_LV()
{
    // No entry chosen, or the last ("all") entry: every building or floor.
    auto filterEntry = [](QComboBox *box) -> std::optional<QString> {
        const int i = box->currentIndex();
        if (i < 0 || i >= box->count() - 1)
            return std::nullopt;
        return box->itemText(i);
    };
    // Keep what the operator was pointing at: the selected rooms and the scroll position.
    QItemSelectionModel *selectionModel = ui->Room_LV->selectionModel();
    const BoardSelection selection = BoardSelection::Take(m_board->rooms, *selectionModel);
    const int scroll = ui->Room_LV->verticalScrollBar()->value();

    ui->Room_LV->setUpdatesEnabled(false);
    const auto resume = qScopeGuard([this] { ui->Room_LV->setUpdatesEnabled(true); });
    m_board->setRooms({}); // a query that fails leaves the board empty
    m_board->setRooms(LoadRoomBoard(filterEntry(BuildingFilter_CB), filterEntry(FloorFilter_CB)));
    selection.Restore(*m_board, *selectionModel);

    // The whole board is laid out here rather than in batches from the event loop: a
    // batched layout knows only its first batch's height yet, and the scroll position put
    // back below would be cut down to it.
    const QListView::LayoutMode layoutMode = ui->Room_LV->layoutMode();
    ui->Room_LV->setLayoutMode(QListView::SinglePass);
    ui->Room_LV->doItemsLayout();
    ui->Room_LV->setLayoutMode(layoutMode);
    ui->Room_LV->verticalScrollBar()->setValue(scroll);
}

void TMainForm::PopedomSet()
{
    // The operator's group has no further effect; the panel shows the operator's name.
    m_panels[6]->setText(LockSystemInfo.StafferName);
}

void TMainForm::setCommandEnabled(QAction *action, bool enabled)
{
    action->setEnabled(enabled && action->property("available").toBool() &&
                       action->property("granted").toBool());
}

void TMainForm::InitMenu()
{
    Table &op = dm->Operator_ado;
    op.Filter = QStringLiteral("Staffer=") + QuotedStr(LockSystemInfo.Staffer);
    op.Filtered = true;
    struct FilterOff
    {
        Table &table;
        ~FilterOff()
        {
            table.Filtered = false;
            table.Close();
        }
    } filterOff{op};
    op.Open();
    if (op.IsEmpty()) {
        m_ended = true; // the logged-on operator no longer exists: the program ends
        return;
    }
    // A command listed under several rights needs all of them; a null right counts as false.
    QHash<QAction *, bool> allowed;
    for (const OperatorRight &right : OperatorRights()) {
        const bool granted = op.AsBoolean(QString::fromLatin1(right.column));
        for (const QString &name : MainCommandsOf(right)) {
            QAction *action = findChild<QAction *>(name);
            if (!action)
                continue;
            bool enabled = granted;
            if (action == ui->ReadDataCard_Menu)
                enabled = ReadDataCardAllowed(m_readDataCardByEncoder, EncoderKind, granted);
            allowed[action] = allowed.value(action, true) && enabled;
        }
    }
    for (auto it = allowed.cbegin(); it != allowed.cend(); ++it) {
        QAction *action = it.key();
        action->setProperty("granted", it.value());
        // The pop-up's check-in and check-out wait for a selection (PopupMenu1Popup).
        if (action == ui->mi_GuestIn || action == ui->mi_GuestLeave)
            action->setEnabled(action->isEnabled() && it.value());
        else
            setCommandEnabled(action, it.value());
    }
}

void TMainForm::RunCommand(const std::function<void()> &command)
{
    if (m_commandRunning) {
        // One command form at a time: while a command's form is open, a command reaching the
        // window (a timer, a socket) is not taken. Once that form has closed, its command is
        // only returning: a key the operator typed meanwhile (queued during a pause of the
        // form and delivered in the same round of events as the Esc that closed it) runs as
        // soon as the command has returned.
        if (!QApplication::activeModalWidget() && !m_pendingCommand)
            m_pendingCommand = command;
        return;
    }
    m_commandRunning = true;
    struct Done
    {
        bool &running;
        ~Done() { running = false; }
    };
    {
        Done done{m_commandRunning};
        RunGuarded(command);
    }
    if (m_pendingCommand) {
        const std::function<void()> next = std::exchange(m_pendingCommand, nullptr);
        RunCommand(next);
    }
}

void TMainForm::connectCommands()
{
    // The commands, one line each: the action and what it does. An action not listed here
    // has no form on this workstation and stays disabled, so the window offers no dead
    // command. The operator's rights (InitMenu) may disable a listed one.
    const QList<QPair<QAction *, std::function<void()>>> commands = {
        {ui->EncodeCard_Menu, [this] { EncodeCard_MenuClick(); }},
        {ui->ReadCard_Menu, [this] { ReadCard_MenuClick(); }},
        {ui->ClearCard_Menu, [this] { ClearCard_MenuClick(); }},
        {ui->CheckIn_Menu, [this] { CheckIn_MenuClick(); }},
        {ui->CheckOut_Menu, [this] { CheckOut_MenuClick(); }},
        {ui->ModifyGuestCard_Menu, OpenForm<TModifyGuestCard_Form>()},
        {ui->CopyGuestCard_Menu, OpenForm<TCopyGuestCard_Form>()},
        {ui->ClockRoom_Menu, OpenForm<TClockRoom_Form>()},
        {ui->RoomStatus_Menu, OpenForm<TRoomList_Form>()},
        {ui->ReadDataCard_Menu, OpenForm<TReadDataCard_Form>()},
        {ui->OpenDoorRecord_Menu, OpenForm<TOpenDoorRecord_Form>()},
        {ui->IssuingRecords_Menu, OpenForm<TMC_R_From>()},
        {ui->OperationLog_Menu, OpenForm<TOperationLog_Form>()},
        {ui->SystemSetting_Menu, OpenForm<TSystemInfo_Form>()},
        {ui->RoomType_Menu, OpenForm<TRoomType_Form>()},
        {ui->RoomSetting_Menu, OpenForm<TRoomInfo_Form>()},
        {ui->DistrictSetting_Menu, OpenForm<TDistrictSetting_Form>()},
        {ui->DatabaseConnecting_Menu, OpenForm<TCdForm>()},
        {ui->OperatorManage_Menu, OpenForm<TOperator_Form>()},
        {ui->ChangePassword_Menu, OpenForm<TChangePassword_Form>()},
        {ui->About_Menu, OpenForm<TAboutForm>()},
        {ui->DataBackup_Menu, [this] { DataBackupClick(*Language1); }},
        {ui->DataRecovery_Menu, [this] { DataRecoveryClick(*Language1); }},
        {ui->OperatingInstruction_Menu, [] { OpenHelpDocument(QStringLiteral("Operating.htm")); }},
        {ui->TroubleShooting_Menu, [] { OpenHelpDocument(QStringLiteral("Manual.htm")); }},
        // The board's pop-up menu; its items are enabled as the selection allows.
        {ui->mi_GuestIn, [this] { mi_GuestInClick(); }},
        {ui->mi_GuestLeave, [this] { mi_GuestLeaveClick(); }},
        {ui->mi_CopyGuestCard, [this] { mi_CopyGuestCardClick(); }},
    };
    // The tool buttons run their command and follow its enabled state.
    const QPair<QToolButton *, QAction *> buttons[] = {
        {ui->CheckIn_SB, ui->CheckIn_Menu},     {ui->ModifyGuestCard_SB, ui->ModifyGuestCard_Menu},
        {ui->CheckOut2_SB, ui->CheckOut_Menu},  {ui->ReadCard_SB, ui->ReadCard_Menu},
        {ui->ClearCard_SB, ui->ClearCard_Menu},
    };

    // The commands' actions (the menus' own actions stay enabled, so every menu opens).
    QList<QAction *> actions;
    for (QAction *action : findChildren<QAction *>())
        if (!action->menu() && !action->isSeparator())
            actions.append(action);
    for (QAction *action : actions)
        action->setEnabled(false);
    for (const auto &[action, command] : commands) {
        action->setProperty("available", true);
        action->setProperty("granted", true); // until the rights say otherwise (InitMenu)
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    }
    // "Read data card" waits for the encoder and the rights; the pop-up's items wait for a
    // selection.
    for (QAction *action : {ui->ReadDataCard_Menu, ui->mi_GuestIn, ui->mi_GuestLeave})
        action->setEnabled(false);
    // The actions' keys work while the window has the focus; a disabled action ignores its key.
    addActions(actions);
    for (const auto &[button, action] : buttons) {
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
    }
    connect(ui->Exit_SB, &QToolButton::clicked, this, &QWidget::close);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(ui->mi_GuestIn);
    PopupMenu1->addAction(ui->mi_CopyGuestCard);
    PopupMenu1->addAction(ui->mi_GuestLeave);
    connect(ui->Room_LV, &QWidget::customContextMenuRequested, this,
            Guarded([this](const QPoint &pos) {
                PopupMenu1Popup();
                PopupMenu1->popup(ui->Room_LV->viewport()->mapToGlobal(pos));
            }));
}

QStringList TMainForm::SelectedRooms() const
{
    QStringList rooms;
    for (int row = 0; row < m_board->rooms.size(); ++row)
        if (ui->Room_LV->selectionModel()->isRowSelected(row, QModelIndex()))
            rooms.append(m_board->rooms[row].RoomStr);
    return rooms;
}

int TMainForm::FirstSelectedPicture() const
{
    for (int row = 0; row < m_board->rooms.size(); ++row)
        if (ui->Room_LV->selectionModel()->isRowSelected(row, QModelIndex()))
            return m_board->rooms[row].Picture;
    return -1;
}

void TMainForm::PopupMenu1Popup()
{
    if (SelectedRooms().isEmpty())
        return;
    setCommandEnabled(ui->mi_GuestIn, true);
    setCommandEnabled(ui->mi_GuestLeave, FirstSelectedPicture() == 2);
}

void TMainForm::mi_GuestInClick()
{
    const QStringList rooms = SelectedRooms();
    if (rooms.isEmpty())
        return;
    auto *form = new TGuestQuickIn_Form(this);
    form->SetRoom(rooms.first());
    ShowModalAndFree(form);
}

void TMainForm::mi_CopyGuestCardClick()
{
    const QStringList rooms = SelectedRooms();
    if (rooms.isEmpty())
        return;
    auto *form = new TCopyGuestCard_Form(this);
    form->SetRoom(rooms.first());
    ShowModalAndFree(form);
}

void TMainForm::mi_GuestLeaveClick()
{
    // The door plates are taken before the first stay ends: each redraw rebuilds the board.
    QStringList rooms, shownOccupied;
    for (int row = 0; row < m_board->rooms.size(); ++row) {
        if (!ui->Room_LV->selectionModel()->isRowSelected(row, QModelIndex()))
            continue;
        const BoardRoom &room = m_board->rooms[row];
        rooms.append(room.RoomStr);
        if (room.Picture == 2 || room.Picture == 3)
            shownOccupied.append(room.RoomStr);
    }
    QStringList notFound;
    for (const QString &room : rooms) {
        if (EndFirstOpenStayOfRoom(room))
            SetRoom_LV();
        else if (shownOccupied.contains(room) && !notFound.contains(room))
            notFound.append(room);
    }
    if (notFound.isEmpty())
        return;
    // The board was out of date (another workstation checked the guest out, say).
    SetRoom_LV();
    ShowMessage(tr("No open stay of room %1 was found; nothing was checked out there. The room "
                   "board now shows what is stored.")
                    .arg(notFound.join(QStringLiteral(", "))));
}

void TMainForm::CheckIn_MenuClick()
{
    ShowModalAndFree(new TGuestQuickIn_Form(this));
}

void TMainForm::EncodeCard_MenuClick()
{
    auto *form = new TMakeCard_Form(this);
    form->SetPage(5);
    ShowModalAndFree(form);
}

void TMainForm::ReadCard_MenuClick()
{
    auto *form = new TCheckCardForm(this);
    form->OpenForReading();
    ShowModalAndFree(form);
}

void TMainForm::ClearCard_MenuClick()
{
    auto *form = new TCheckCardForm(this);
    form->OpenForRevoking();
    ShowModalAndFree(form);
}

void TMainForm::CheckOut_MenuClick()
{
    ShowModalAndFree(new TGuestLeave_Form(this));
}

void TMainForm::keyPressEvent(QKeyEvent *event)
{
    // Esc does nothing here; Ctrl+Alt+F12 is the language capture.
    if (IsCaptureKey(event)) {
        RunGuarded([this] { RunCapture(Language1); });
        return;
    }
    if (event->key() == Qt::Key_Escape)
        return;
    // A command key handed over by a command form that closed before the key reached it
    // (see TBaseForm): the command of that key, as its shortcut would have run it.
    const QKeySequence typed(event->keyCombination());
    for (QAction *action : actions()) {
        if (action->isEnabled() && action->shortcut() == typed) {
            action->trigger();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}
