#include "systeminfoform.h"

#include "data/dm.h"
#include "data/errors.h"
#include "data/inifile.h"
#include "data/languageids.h"
#include "oplog/operationlog.h"
#include "ui/dialogs.h"
#include "ui/errorguard.h"
#include "ui_systeminfoform.h"

#include <QButtonGroup>

TSystemInfo_Form::TSystemInfo_Form(QWidget *parent)
    : TBaseForm(parent), ui(new Ui::SystemInfo_Form), m_ports(new QButtonGroup(this))
{
    ui->setupUi(this);
    m_ports->addButton(ui->COM1_RB, 0);
    m_ports->addButton(ui->COM2_RB, 1);
    m_ports->addButton(ui->COM3_RB, 2);
    m_ports->addButton(ui->COM4_RB, 3);
    connect(ui->Save_Bt, &QPushButton::clicked, this, Guarded([this] { SaveBrevanInfo(); }));
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    ReadLockInfo(m_lockInfo);
    GetBrevanInfo();
}

TSystemInfo_Form::~TSystemInfo_Form()
{
    delete ui;
}

void TSystemInfo_Form::GetBrevanInfo()
{
    ui->HotelName_Edit->setText(LockSystemInfo.HotelName);
    ui->DayCount_SE->setValue(LockSystemInfo.DayCount);
    ui->LeaveTime_Edit->setText(IniFile::TimeText(LockSystemInfo.LeaveTime));
    if (QAbstractButton *port = m_ports->button(m_lockInfo.CommProt))
        port->setChecked(true);
    // The languages the catalogue holds texts for, by name; English always, and the language
    // in use even when the catalogue has lost it.
    QList<int> languages = {kEnglishLanguageID};
    for (const QString &id : Language1->GetLanguageList())
        if (IsKnownLanguage(id.toInt()) && !languages.contains(id.toInt()))
            languages.append(id.toInt());
    if (!languages.contains(LockSystemInfo.LanguageID))
        languages.append(LockSystemInfo.LanguageID);
    ui->Language_CB->clear();
    for (int id : languages)
        ui->Language_CB->addItem(LanguageDisplayName(id), id);
    ui->Language_CB->setCurrentIndex(ui->Language_CB->findData(LockSystemInfo.LanguageID));
    ui->LockType->setCurrentIndex(m_lockInfo.LockType < ui->LockType->count() ? m_lockInfo.LockType
                                                                              : -1);
}

void TSystemInfo_Form::SaveBrevanInfo()
{
    IniFile ini(SettingsFilePath());
    // Each key goes to the file at once; the first write that fails stops the save with
    // the reason, and the form stays open.
    auto saved = [&ini](bool written) {
        if (!written)
            ShowMessage(ini.ErrorText(), tr("warning"), MsgIcon::Error);
        return written;
    };
    const int language = ui->Language_CB->currentData().isValid()
                             ? ui->Language_CB->currentData().toInt()
                             : LockSystemInfo.LanguageID;
    if (!saved(ini.WriteInteger("Config", "LockType", ui->LockType->currentIndex())) ||
        !saved(ini.WriteInteger("Config", "CommProt", m_ports->checkedId())) ||
        !saved(ini.WriteString("SystemInfo", "HotelName", ui->HotelName_Edit->text())) ||
        !saved(ini.WriteInteger("SystemInfo", "DayCount", ui->DayCount_SE->value())) ||
        !saved(ini.WriteInteger("SystemInfo", "LanguageID", language)))
        return;
    const QTime leave = IniFile::ParseTime(ui->LeaveTime_Edit->text());
    if (!leave.isValid())
        throw ConvertError(tr("'%1' is not a valid time").arg(ui->LeaveTime_Edit->text()));
    if (!saved(ini.WriteTime("SystemInfo", "LeaveTime", leave)) ||
        !saved(ini.WriteBool("SystemInfo", "UseRoomID", false)))
        return;
    // The operation log names the keys that changed, with their old and new values.
    QStringList changed;
    auto compare = [&changed](const char *key, const QString &before, const QString &after) {
        if (before != after)
            changed.append(QStringLiteral("%1: %2 -> %3").arg(QLatin1String(key), before, after));
    };
    compare("LockType", QString::number(m_lockInfo.LockType),
            QString::number(ui->LockType->currentIndex()));
    compare("CommProt", QString::number(m_lockInfo.CommProt),
            QString::number(m_ports->checkedId()));
    compare("HotelName", LockSystemInfo.HotelName, ui->HotelName_Edit->text());
    compare("DayCount", QString::number(LockSystemInfo.DayCount),
            QString::number(ui->DayCount_SE->value()));
    compare("LanguageID", QString::number(LockSystemInfo.LanguageID), QString::number(language));
    compare("LeaveTime", IniFile::TimeText(LockSystemInfo.LeaveTime), IniFile::TimeText(leave));
    LogOperation(dm->conn, LogAction::Settings, QString(),
                 changed.isEmpty() ? QStringLiteral("nothing changed") : changed.join("; "));
    ShowMessage(tr("Save succesful!"), tr("warning"), MsgIcon::Information);
    ReadSystemInfo(LockSystemInfo);
    ShowMessage(tr("Please restart the software!"));
    EndProgram();
}
