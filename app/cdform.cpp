#include "cdform.h"

#include "ui/dialogs.h"
#include "data/inifile.h"
#include "data/settings.h"
#include "ui_cdform.h"

#include <QFileInfo>

namespace {
const QString kInfo = QStringLiteral("Info");
}

TCdForm::TCdForm(QWidget *parent) : TBaseForm(parent), ui(new Ui::CdForm)
{
    ui->setupUi(this);
    connect(ui->Browse_Bt, &QPushButton::clicked, this, &TCdForm::Browse_BtClick);
    connect(ui->Test_Bt, &QPushButton::clicked, this, &TCdForm::Test_BtClick);
    connect(ui->Save_Bt, &QPushButton::clicked, this, &TCdForm::Save_BtClick);
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    // The one page is the file kind (0); with another kind no page is selected until
    // the operator clicks its tab.
    m_pageSelected = LockSystemInfo.ConnType == 0;
    ui->Access_Page->setEnabled(m_pageSelected);
    connect(ui->PageControl1, &QTabWidget::tabBarClicked, this, [this](int index) {
        if (index == 0) {
            m_pageSelected = true;
            ui->Access_Page->setEnabled(true);
        }
    });
    ui->Memo_DbPath->setPlainText(ConfiguredDbPath());
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
        ShowMessage(QStringLiteral("File not found!"), kInfo);
}

bool TCdForm::TestConnection()
{
    if (!m_pageSelected)
        return false;
    const QString path = ui->Memo_DbPath->toPlainText().trimmed();
    if (!QFileInfo(path).isFile()) {
        ShowMessage(QStringLiteral("File not found!"), kInfo);
        return false;
    }
    return OpenDatabaseFile(path);
}

void TCdForm::Test_BtClick()
{
    if (TestConnection())
        ShowMessage(QStringLiteral("Test Ok!"), kInfo, MsgIcon::Information);
    else
        ShowMessage(QStringLiteral("Test failure!"), kInfo, MsgIcon::Error);
}

void TCdForm::Save_BtClick()
{
    if (!TestConnection()) {
        ShowMessage(QStringLiteral("Save failure"), kInfo, MsgIcon::Error);
        return;
    }
    IniFile ini(SettingsFilePath());
    ini.WriteInteger("Client Config", "ConnType", 0);
    LockSystemInfo.ConnType = 0;
    ini.WriteString("Client Config", "DbPath", ui->Memo_DbPath->toPlainText().trimmed());
    ShowMessage(QStringLiteral("Save Ok!"), kInfo, MsgIcon::Information);
}
