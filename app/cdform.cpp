#include "cdform.h"

#include "data/dm.h"
#include "data/inifile.h"
#include "data/settings.h"
#include "operators/operators.h"
#include "oplog/operationlog.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui_cdform.h"

#include <QFileInfo>

TCdForm::TCdForm(QWidget *parent) : TBaseForm(parent), ui(new Ui::CdForm)
{
    ui->setupUi(this);
    connect(ui->Browse_Bt, &QPushButton::clicked, this, Guarded([this] { Browse_BtClick(); }));
    connect(ui->Test_Bt, &QPushButton::clicked, this, Guarded([this] { Test_BtClick(); }));
    connect(ui->Save_Bt, &QPushButton::clicked, this, Guarded([this] { Save_BtClick(); }));
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    // The one page is the file kind (0); with another kind no page is selected until
    // the operator clicks its tab.
    m_pageSelected = LockSystemInfo.ConnType == 0;
    ui->Access_Page->setEnabled(m_pageSelected);
    connect(ui->PageControl1, &QTabWidget::tabBarClicked, this, Guarded([this](int index) {
                if (index == 0) {
                    m_pageSelected = true;
                    ui->Access_Page->setEnabled(true);
                }
            }));
    ui->Memo_DbPath->setPlainText(ConfiguredDbPathText());
}

TCdForm::~TCdForm()
{
    delete ui;
}

void TCdForm::Browse_BtClick()
{
    const QString file = dialogs().openFileName(QString(), QStringLiteral("*.mdb (*.mdb)"));
    if (file.isEmpty())
        return;
    if (QFileInfo::exists(file))
        ui->Memo_DbPath->setPlainText(file);
    else
        ShowMessage(tr("File not found!"), tr("Info"));
}

QString TCdForm::PathText() const
{
    // Line breaks around the path are dropped; blanks belong to the path.
    QString text = ui->Memo_DbPath->toPlainText();
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    while (text.startsWith('\n') || text.startsWith('\r'))
        text.remove(0, 1);
    return text;
}

bool TCdForm::TestConnection()
{
    if (!m_pageSelected)
        return false;
    // A relative path is relative to the program folder, as at start-up.
    const QString path = ResolveDbPath(PathText());
    if (!QFileInfo(path).isFile()) {
        ShowMessage(tr("File not found!"), tr("Info"));
        return false;
    }
    if (!OpenDatabaseFile(path))
        return false;
    HashPlainPasswordsOfOpenDatabase();
    return true;
}

void TCdForm::Test_BtClick()
{
    if (TestConnection())
        ShowMessage(tr("Test Ok!"), tr("Info"), MsgIcon::Information);
    else
        ShowMessage(tr("Test failure!"), tr("Info"), MsgIcon::Error);
}

void TCdForm::Save_BtClick()
{
    if (!TestConnection()) {
        ShowMessage(tr("Save failure"), tr("Info"), MsgIcon::Error);
        return;
    }
    IniFile ini(SettingsFilePath());
    if (!ini.WriteInteger("Client Config", "ConnType", 0) ||
        !ini.WriteString("Client Config", "DbPath", PathText())) {
        ShowMessage(ini.ErrorText(), tr("Info"), MsgIcon::Error);
        return;
    }
    LockSystemInfo.ConnType = 0;
    // Logged in the database the workstation now works on.
    LogOperation(dm->conn, LogAction::DbConnection, QString(),
                 QStringLiteral("database file %1").arg(PathText()));
    ShowMessage(tr("Save Ok!"), tr("Info"), MsgIcon::Information);
}
