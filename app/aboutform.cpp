#include "aboutform.h"

#include "data/inifile.h"
#include "data/settings.h"
#include "ui_aboutform.h"

#include <kestrune/kestrune.h>

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// The product's picture: a key card in front of a door.
QPixmap ProductPicture()
{
    QPixmap picture(128, 128);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // The door with its lock.
    QLinearGradient wood(0, 0, 0, 128);
    wood.setColorAt(0, QColor(0x8a, 0x5a, 0x33));
    wood.setColorAt(1, QColor(0x5e, 0x3b, 0x1f));
    p.setPen(QPen(QColor(0x3b, 0x24, 0x12), 2));
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(14, 6, 64, 116), 4, 4);
    p.setBrush(QColor(0xd8, 0xd8, 0xd8));
    p.drawRoundedRect(QRectF(60, 52, 12, 30), 3, 3);
    p.setBrush(QColor(0x2e, 0xb8, 0x5c));
    p.drawEllipse(QPointF(66, 58), 2.5, 2.5);
    // The card, tilted in front of the door.
    p.translate(82, 78);
    p.rotate(-18);
    QLinearGradient plastic(-36, -22, 36, 22);
    plastic.setColorAt(0, QColor(0x1f, 0x6f, 0xc5));
    plastic.setColorAt(1, QColor(0x12, 0x3f, 0x7a));
    p.setPen(QPen(QColor(0x0c, 0x2a, 0x52), 1.5));
    p.setBrush(plastic);
    p.drawRoundedRect(QRectF(-36, -23, 72, 46), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xc9, 0x4c));
    p.drawRoundedRect(QRectF(-28, -12, 16, 12), 2, 2);
    p.setPen(QPen(Qt::white, 2));
    for (int i = 0; i < 3; ++i) {
        const qreal r = 6 + 5 * i;
        p.drawArc(QRectF(8 - r, -4 - r, 2 * r, 2 * r), -40 * 16, 80 * 16);
    }
    return picture;
}

} // namespace

QString EncoderKindText(int kind)
{
    switch (kind) {
    case 0:
        return QCoreApplication::translate("TAboutForm", "USB Data Pick Device");
    case 2:
        return QCoreApplication::translate("TAboutForm", "Lock type :Magnetic card lock system");
    case 3:
        return QCoreApplication::translate("TAboutForm", "Lock type :IC CARD lock system");
    case 5:
        return QCoreApplication::translate("TAboutForm", "Lock type :TM card lock system");
    case 7:
        return QCoreApplication::translate("TAboutForm", "Lock type :TEMIC RF lock system");
    case 9:
        return QCoreApplication::translate("TAboutForm", "Lock type :Mifare card lock system");
    case 11:
        return QCoreApplication::translate("TAboutForm", "Lock type :Magnetic2 card lock system");
    default:
        return QCoreApplication::translate("TAboutForm", "Not connect!");
    }
}

TAboutForm::TAboutForm(QWidget *parent) : TBaseForm(parent), ui(std::make_unique<Ui::AboutForm>())
{
    ui->setupUi(this);
    ui->Picture_Image->setPixmap(ProductPicture());
    connect(ui->Close_Bt, &QPushButton::clicked, this, &QDialog::accept);

    ui->Version_L->setText(QStringLiteral("Orvane V18.0"));
    ui->CardType_Label->setText(tr("Not connect!"));
    uint16_t parameters[KESTRUNE_PARAMETER_WORDS] = {};
    GetParameter(parameters);
    const int kind = int16_t(parameters[0]);
    ui->EncoderSn_Label->setText(tr("Encoder no. ") + (kind < 0 ? QString() : LockSystemInfo.Pass));
    ui->CardType_Label->setText(EncoderKindText(kind));

    const IniFile information(InformationFilePath());
    ui->Company_Label->setText(information.ReadString("Sale", "Company", QString()));
    ui->Web_Label->setText(information.ReadString("Sale", "Web", QString()));
}

TAboutForm::~TAboutForm() = default;
