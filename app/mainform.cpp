#include "mainform.h"

#include "data/dm.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "ui_mainform.h"

#include <QLabel>

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent), Language1(new TLanguage(this)), ui(new Ui::MainForm)
{
    ui->setupUi(this);
    Language1->SetLanguageID(LockSystemInfo.LanguageID);
    setWindowTitle(QStringLiteral("Orvane V18.0"));
    auto *staffer = new QLabel(LockSystemInfo.StafferName, this);
    staffer->setObjectName(QStringLiteral("StafferName_Label"));
    ui->StatusBar1->addWidget(staffer);
    connect(ui->Exit_SB, &QToolButton::clicked, this, &QWidget::close);
    InitMenu();
}

TMainForm::~TMainForm() { delete ui; }

void TMainForm::InitMenu()
{
    Table &op = dm->Operator_ado;
    op.Filter = QStringLiteral("Staffer=") + QuotedStr(LockSystemInfo.Staffer);
    op.Filtered = true;
    op.Open();
    if (op.IsEmpty())
        m_ended = true; // the logged-on operator no longer exists
    op.Filtered = false;
    op.Close();
}
