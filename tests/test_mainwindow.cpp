// The main window's command set: the rights on commands, tool buttons, keys and the pop-up, "Read
// data card" by encoder kind, one command form at a time, and the About box.
#include "app/aboutform.h"
#include "app/application.h"
#include "app/encoder.h"
#include "app/mainform.h"
#include "data/rights.h"
#include "data/settings.h"
#include "support/testhotel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// While it lives, closes every modal form that opens (except those named in `keep`) and
// remembers their objectNames.
class ModalCloser
{
public:
    explicit ModalCloser(QStringList keep = {}) : m_keep(std::move(keep))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || m_keep.contains(modal->objectName()))
                return;
            opened.append(modal->objectName());
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
        });
        m_timer.start();
    }
    QStringList opened;

private:
    QStringList m_keep;
    QTimer m_timer;
};

QAction *action(TMainForm &main, const QString &name)
{
    QAction *a = main.findChild<QAction *>(name);
    if (!a)
        qFatal("no action %s", qPrintable(name));
    return a;
}

// The tool buttons of the commands that have one.
const QHash<QString, QString> kToolButtons = {{"CheckIn_Menu", "CheckIn_SB"},
                                              {"ModifyGuestCard_Menu", "ModifyGuestCard_SB"},
                                              {"CheckOut_Menu", "CheckOut2_SB"},
                                              {"ReadCard_Menu", "ReadCard_SB"},
                                              {"ClearCard_Menu", "ClearCard_SB"}};

bool showActive(TMainForm &main)
{
    main.show();
    QApplication::setActiveWindow(&main);
    return QTest::qWaitForWindowActive(&main);
}

void selectRoom(TMainForm &main, const QString &plate)
{
    auto *view = main.findChild<QListView *>("Room_LV");
    view->clearSelection();
    for (int row = 0; row < main.BoardRooms().size(); ++row)
        if (main.BoardRooms()[row].RoomStr == plate)
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::Select);
}

void connectEncoder(VirtualEncoder &encoder, int kind)
{
    encoder.run({"connect", "--port", "1", "--kind", QString::number(kind), "--code", "0A0B0C0D"});
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { EncoderKind = 0; }
    void rightsDisableTheirCommandsButtonsAndKeys_data();
    void rightsDisableTheirCommandsButtonsAndKeys();
    void noRightsLeaveNoCommandThatMakesKeysEndsStaysOrReplacesData();
    void boardPopupFollowsTheRights();
    void readDataCardFollowsEncoderAndRight_data();
    void readDataCardFollowsEncoderAndRight();
    void everyEnabledCommandOpensItsFormOneAtATime();
    void commandTypedAsItsFormClosesOpensAfterwards();
    void statusPanelsFitTheirTexts();
    void operatorGoneEndsWithoutAMessage();
    void aboutBox_data();
    void aboutBox();
};

void TestMainWindow::rightsDisableTheirCommandsButtonsAndKeys_data()
{
    QTest::addColumn<QString>("column");
    for (const OperatorRight &right : OperatorRights())
        if (!MainCommandsOf(right).isEmpty() && QByteArray(right.column) != "DataCard")
            QTest::newRow(right.column) << QString::fromLatin1(right.column);
}

void TestMainWindow::rightsDisableTheirCommandsButtonsAndKeys()
{
    QFETCH(QString, column);
    TestHotel hotel;
    hotel.logOnAdministrator("clerk");
    hotel.exec("update Operator set " + column + "=0");
    TMainForm main;
    QStringList governed;
    for (const OperatorRight &right : OperatorRights())
        governed += MainCommandsOf(right);
    const QStringList off = MainCommandsOf(
        *std::find_if(OperatorRights().begin(), OperatorRights().end(),
                      [&](const OperatorRight &r) { return column == QLatin1String(r.column); }));
    for (const QString &name : governed) {
        QAction *a = action(main, name);
        if (off.contains(name))
            QVERIFY2(!a->isEnabled(), qPrintable(name));
        else if (name != "ReadDataCard_Menu" && !name.startsWith("mi_")) // encoder, selection
            QCOMPARE(a->isEnabled(), a->property("available").toBool());
        if (kToolButtons.contains(name))
            QCOMPARE(main.findChild<QToolButton *>(kToolButtons[name])->isEnabled(),
                     a->isEnabled());
    }
    // The keys of the disabled commands do nothing; the others still open their forms.
    ModalCloser closer;
    for (const auto &[key, name, form] :
         {std::tuple{Qt::Key_F1, "CheckIn_Menu", "GuestQuickIn_Form"},
          std::tuple{Qt::Key_F3, "CheckOut_Menu", "GuestLeave_Form"}}) {
        closer.opened.clear();
        QVERIFY(showActive(main)); // a closed form leaves no window active here
        QTest::keyClick(&main, key);
        QCOMPARE(closer.opened,
                 off.contains(name) ? QStringList() : QStringList{QString::fromLatin1(form)});
        if (off.contains(name)) {
            QTest::mouseClick(main.findChild<QToolButton *>(kToolButtons[name]), Qt::LeftButton);
            QVERIFY(closer.opened.isEmpty());
        }
    }
}

void TestMainWindow::noRightsLeaveNoCommandThatMakesKeysEndsStaysOrReplacesData()
{
    TestHotel hotel;
    hotel.logOnAdministrator("clerk");
    hotel.exec("update Operator set " + OperatorRightColumns().join("=0, ") + "=0");
    hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
               "(1102, '102', '2024-05-01 14:00:00')");
    TMainForm main;
    for (const char *name :
         {"CheckIn_Menu", "ClockRoom_Menu", "CopyGuestCard_Menu", "ModifyGuestCard_Menu",
          "CheckOut_Menu", "ClearCard_Menu", "DataBackup_Menu", "DataRecovery_Menu",
          "DatabaseConnecting_Menu", "SystemSetting_Menu", "OperatorManage_Menu"})
        QVERIFY2(!action(main, name)->isEnabled(), name);
    for (const QString &button : kToolButtons)
        if (button != "ReadCard_SB")
            QVERIFY2(!main.findChild<QToolButton *>(button)->isEnabled(), qPrintable(button));
    // What reads or only shows stays open to everybody.
    for (const char *name : {"ReadCard_Menu", "OpenDoorRecord_Menu", "IssuingRecords_Menu",
                             "RoomStatus_Menu", "ChangePassword_Menu", "About_Menu"})
        QVERIFY2(action(main, name)->isEnabled(), name);
    QVERIFY(main.findChild<QToolButton *>("ReadCard_SB")->isEnabled());

    ModalCloser closer;
    for (Qt::Key key : {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F5}) {
        QVERIFY(showActive(main));
        QTest::keyClick(&main, key);
        QVERIFY2(closer.opened.isEmpty(), qPrintable(closer.opened.join(' ')));
    }
    // The board's pop-up offers nothing either, on a vacant or an occupied room.
    for (const char *plate : {"101", "102"}) {
        selectRoom(main, plate);
        main.PopupMenu1Popup();
        for (const char *item : {"mi_GuestIn", "mi_CopyGuestCard", "mi_GuestLeave"}) {
            QVERIFY2(!action(main, item)->isEnabled(), item);
            action(main, item)->trigger();
        }
    }
    QVERIFY(closer.opened.isEmpty());
    QCOMPARE(hotel.scalar("select enOverride from GuestInRecord where RoomStr='102'").toInt(), 0);
}

void TestMainWindow::boardPopupFollowsTheRights()
{
    TestHotel hotel;
    hotel.logOnAdministrator("clerk");
    hotel.exec("insert into GuestInRecord (Room, RoomStr, GuestInTime) values "
               "(1102, '102', '2024-05-01 14:00:00')");
    TMainForm main;
    ModalCloser closer;
    selectRoom(main, "101");
    main.PopupMenu1Popup();
    QVERIFY(!action(main, "mi_GuestLeave")->isEnabled()); // a vacant room
    action(main, "mi_GuestIn")->trigger();
    action(main, "mi_CopyGuestCard")->trigger();
    QCOMPARE(closer.opened, (QStringList{"GuestQuickIn_Form", "CopyGuestCard_Form"}));
    selectRoom(main, "102");
    main.PopupMenu1Popup();
    action(main, "mi_GuestLeave")->trigger();
    QCOMPARE(hotel.scalar("select enOverride from GuestInRecord where RoomStr='102'").toInt(), 1);
}

void TestMainWindow::readDataCardFollowsEncoderAndRight_data()
{
    QTest::addColumn<int>("kind"); // -1: no encoder
    QTest::addColumn<bool>("right");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("kind 3, right") << 3 << true << true;
    QTest::newRow("kind 3, no right") << 3 << false << false;
    QTest::newRow("kind 0, no right") << 0 << false << true;
    QTest::newRow("kind 5, right") << 5 << true << false;
    QTest::newRow("no encoder, right") << -1 << true << false;
}

void TestMainWindow::readDataCardFollowsEncoderAndRight()
{
    QFETCH(int, kind);
    QFETCH(bool, right);
    QFETCH(bool, enabled);
    TestHotel hotel;
    hotel.logOnAdministrator();
    hotel.exec(QStringLiteral("update Operator set DataCard=%1").arg(int(right)));
    VirtualEncoder encoder;
    if (kind == -1)
        EncoderKind = 3; // what an earlier start may have left
    else
        connectEncoder(encoder, kind);
    TMainForm main;
    QAction *readDataCard = action(main, "ReadDataCard_Menu");
    // Until its form exists on this workstation the command stays disabled.
    QCOMPARE(readDataCard->isEnabled(), enabled && readDataCard->property("available").toBool());
}

void TestMainWindow::everyEnabledCommandOpensItsFormOneAtATime()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    TMainForm main;
    // Commands that open no form of their own: the help documents go to the desktop's viewer,
    // backup and restore start with a file dialog.
    const QStringList noForm = {"OperatingInstruction_Menu", "TroubleShooting_Menu",
                                "DataBackup_Menu", "DataRecovery_Menu"};
    int tried = 0;
    for (QAction *menu : main.menuBar()->actions()) {
        QVERIFY2(menu->isEnabled(), qPrintable(menu->text())); // every menu opens
        for (QAction *a : menu->menu()->actions()) {
            if (a->isSeparator() || !a->isEnabled() || noForm.contains(a->objectName()))
                continue;
            ModalCloser closer;
            a->trigger();
            QVERIFY2(closer.opened.size() == 1, qPrintable(a->objectName()));
            ++tried;
        }
    }
    QVERIFY(tried >= 8);

    // While a command's form is open, no other command opens one.
    {
        ModalCloser closer({"AboutForm"});
        bool reached = false;
        WhenModalOpens("AboutForm", [&](QWidget *about) {
            action(main, "ChangePassword_Menu")->trigger();
            action(main, "About_Menu")->trigger();
            reached = true;
            about->close();
        });
        action(main, "About_Menu")->trigger();
        QVERIFY(reached);
        QVERIFY(closer.opened.isEmpty());
    }
    // Afterwards commands open again.
    ModalCloser after;
    action(main, "ChangePassword_Menu")->trigger();
    QCOMPARE(after.opened, QStringList{"ChangePassword_Form"});
}

// A key typed while a form paused comes in one round of events with the Esc that closes the
// form, and a click may reach the window before the closed form's command has returned: the
// command asked for opens once the form has gone, never inside it, and only one of them.
void TestMainWindow::commandTypedAsItsFormClosesOpensAfterwards()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    TMainForm main;
    main.show();
    QStringList opened;
    auto closeWhenOpen = [&](const QString &name) {
        WhenModalOpens(name, [&opened](QWidget *form) {
            opened.append(form->objectName());
            static_cast<QDialog *>(form)->reject();
        });
    };
    // The key reaches the closed form.
    WhenModalOpens("AboutForm", [&](QWidget *about) {
        opened.append(about->objectName());
        QTest::keyClick(about->findChild<QWidget *>("Close_Bt"), Qt::Key_Escape);
        QVERIFY(!about->isVisible());
        QTest::keyClick(about->findChild<QWidget *>("Close_Bt"), Qt::Key_F4);
        closeWhenOpen("CheckCardForm");
    });
    action(main, "About_Menu")->trigger();
    QCOMPARE(opened, (QStringList{"AboutForm", "CheckCardForm"}));

    // The command reaches the window while the closed form's command returns.
    opened.clear();
    WhenModalOpens("AboutForm", [&](QWidget *about) {
        opened.append(about->objectName());
        about->close();
        action(main, "ChangePassword_Menu")->trigger();
        action(main, "About_Menu")->trigger(); // one command is kept, not a queue of them
        closeWhenOpen("ChangePassword_Form");
    });
    action(main, "About_Menu")->trigger();
    QCOMPARE(opened, (QStringList{"AboutForm", "ChangePassword_Form"}));
    QVERIFY(!QApplication::activeModalWidget());
    ModalCloser after;
    action(main, "About_Menu")->trigger();
    QCOMPARE(after.opened, QStringList{"AboutForm"});
}

// The refresh button and the filters are not narrower than their texts.
void TestMainWindow::statusPanelsFitTheirTexts()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    TMainForm main;
    main.resize(1024, 700);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto *refresh = main.findChild<QToolButton *>("Refresh_Bt");
    QVERIFY(!refresh->text().isEmpty());
    QVERIFY(refresh->width() >= refresh->sizeHint().width());
    for (const char *name : {"BuildingFilter_CB", "FloorFilter_CB"}) {
        auto *box = main.findChild<QComboBox *>(name);
        const QString all = box->itemText(box->count() - 1);
        QVERIFY2(!all.isEmpty(), name);
        QVERIFY2(box->width() >= box->sizeHint().width(), name);
        QVERIFY2(box->width() > box->fontMetrics().horizontalAdvance(all), name);
    }
}

void TestMainWindow::operatorGoneEndsWithoutAMessage()
{
    TestHotel hotel;
    VirtualEncoder encoder;
    connectEncoder(encoder, 3);
    hotel.writeIni("[SystemInfo]\nPass=0A0B0C0D\n");
    ReadSystemInfo(LockSystemInfo);
    hotel.logOnAdministrator("boss");
    hotel.exec("delete from Operator");
    TMainForm main;
    QVERIFY(main.Ended());
    QVERIFY(hotel.dialogs.messages.isEmpty());
}

void TestMainWindow::aboutBox_data()
{
    QTest::addColumn<int>("kind"); // -1: no encoder
    QTest::addColumn<QString>("cardType");
    QTest::addColumn<bool>("information");
    const std::pair<int, const char *> kinds[] = {{0, "USB Data Pick Device"},
                                                  {2, "Lock type :Magnetic card lock system"},
                                                  {3, "Lock type :IC CARD lock system"},
                                                  {5, "Lock type :TM card lock system"},
                                                  {7, "Lock type :TEMIC RF lock system"},
                                                  {9, "Lock type :Mifare card lock system"},
                                                  {11, "Lock type :Magnetic2 card lock system"},
                                                  {4, "Not connect!"}};
    for (const auto &[kind, text] : kinds)
        QTest::addRow("kind %d", kind) << kind << QString::fromLatin1(text) << true;
    QTest::newRow("no encoder, no Information.ini") << -1 << "Not connect!" << false;
}

void TestMainWindow::aboutBox()
{
    QFETCH(int, kind);
    QFETCH(QString, cardType);
    QFETCH(bool, information);
    TestHotel hotel;
    VirtualEncoder encoder;
    if (kind >= 0)
        connectEncoder(encoder, kind);
    QVERIFY(ProbeEncoder() == (kind >= 0));
    if (information) {
        QFile ini(InformationFilePath());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Sale]\nCompany=Harbour Locks Ltd\nWeb=www.harbour.test\n");
    }
    LockSystemInfo.Pass = "0A0B0C0D";
    TAboutForm about;
    QCOMPARE(child<QLabel>(&about, "Version_L")->text(), QStringLiteral("Orvane V18.0"));
    QCOMPARE(child<QLabel>(&about, "CardType_Label")->text(), cardType);
    QCOMPARE(child<QLabel>(&about, "EncoderSn_Label")->text(),
             kind >= 0 ? QStringLiteral("Encoder no. 0A0B0C0D") : QStringLiteral("Encoder no. "));
    QCOMPARE(child<QLabel>(&about, "Company_Label")->text(),
             information ? QStringLiteral("Harbour Locks Ltd") : QString());
    QCOMPARE(child<QLabel>(&about, "Web_Label")->text(),
             information ? QStringLiteral("www.harbour.test") : QString());
    QVERIFY(!child<QLabel>(&about, "Picture_Image")->pixmap().isNull());
    child<QPushButton>(&about, "Close_Bt")->click();
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

QUENMAR_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
