// Operator accounts with their rights, first passwords and deletion; the password change.
#include "app/application.h"
#include "app/logon.h"
#include "data/rights.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "operators/changepasswordform.h"
#include "operators/operatorform.h"
#include "operators/operators.h"
#include "operators/passwordhash.h"
#include "support/testhotel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

// Clicks the grid row of the account with this logon name.
void clickAccount(TOperator_Form &form, const QString &staffer)
{
    auto *grid = child<QTableView>(&form, "EmployeeInfo_DBGrid");
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        if (grid->model()->index(row, 1).data().toString() != staffer)
            continue;
        const QRect cell = grid->visualRect(grid->model()->index(row, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        return;
    }
    QFAIL(qPrintable("no account " + staffer));
}

// Adds an account through the form; `rights` lists the columns to check (empty: none).
void addAccount(TOperator_Form &form, const QString &name, const QString &staffer,
                const QStringList &rights = {})
{
    child<QPushButton>(&form, "Add_BT")->click();
    child<QLineEdit>(&form, "StafferName_Edit")->setText(name);
    child<QLineEdit>(&form, "User_Edit")->setText(staffer);
    for (int i = 0; i < kOperatorRightCount; ++i)
        if (rights.contains(QString::fromLatin1(OperatorRights()[size_t(i)].column)))
            form.RightBoxes()[i]->setChecked(true);
    child<QPushButton>(&form, "Save_Bt")->click();
}

// Answers the password prompt with `again` (nullopt: Cancel) and presses the group's Ok.
void setPassword(TOperator_Form &form, const QString &typed, std::optional<QString> again)
{
    child<QLineEdit>(&form, "Pass1_Edit")->setText(typed);
    WhenModalOpens("InputPasswordBox", [again](QWidget *box) {
        if (again) {
            child<QLineEdit>(box, "Input_MaskEdit")->setText(*again);
            child<QPushButton>(box, "Confirm_Bt")->click();
        } else {
            child<QPushButton>(box, "Cancel_Bt")->click();
        }
    });
    child<QPushButton>(&form, "PassOk_Bt")->click();
}

bool passwordGroupEnabled(TOperator_Form &form)
{
    return child<QLineEdit>(&form, "Pass1_Edit")->isEnabled() &&
           child<QPushButton>(&form, "PassOk_Bt")->isEnabled();
}

int accounts(TestHotel &hotel, const QString &staffer)
{
    return hotel.scalar("select count(*) from Operator where Staffer=" + QuotedStr(staffer))
        .toInt();
}

// Presses Ok of the password change form after typing into the edits of its stage.
void pressOk(TChangePassword_Form &form, const QString &first, const QString &second = {})
{
    if (form.InFirstStage()) {
        child<QLineEdit>(&form, "OldPassword_Edit")->setText(first);
    } else {
        child<QLineEdit>(&form, "NewPassword_Edit")->setText(first);
        child<QLineEdit>(&form, "RepeatNewPassword_Edit")->setText(second);
    }
    child<QPushButton>(&form, "Ok_Bt")->click();
}

} // namespace

class TestOperators : public QObject
{
    Q_OBJECT
private slots:
    void formShowsTheAccountsAndTheRightsTable();
    void addingAnAccount();
    void firstPassword();
    void clickedAccountAfterAddAndSave();
    void deletingAccounts();
    void deleteAndPasswordActOnlyOnTheHighlightedAccount();
    void logonNamesAreTrimmedAndUniqueIgnoringCase();
    void plainPasswordsAreHashedWhenTheDatabaseOpens();
    void passwordsOfAnyLengthUpToTheLimitAreTakenWhole();
    void passwordChange();
    void passwordChangeEdgeCases();
};

void TestOperators::formShowsTheAccountsAndTheRightsTable()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    TOperator_Form form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Users entitling management"));
    auto *grid = child<QTableView>(&form, "EmployeeInfo_DBGrid");
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles.append(grid->model()->headerData(c, Qt::Horizontal).toString());
    QCOMPARE(titles, (QStringList{"True Name", "User Name", "Password"}));
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("Administrator"));
    QCOMPARE(grid->model()->index(0, 2).data().toString(), QString(20, '*'));
    for (const OperatorRight &right : OperatorRights())
        QCOMPARE(child<QCheckBox>(&form, right.checkBox)->text(),
                 QString::fromLatin1(right.caption));
    for (const char *name : {"Save_Bt", "Delete_Bt", "PassOk_Bt"})
        QVERIFY2(!child<QWidget>(&form, name)->isEnabled(), name);
    QVERIFY(!child<QGroupBox>(&form, "QuanXian_Gb")->isEnabled());

    // A clicked account shows its rights greyed out; Add clears them.
    hotel.exec("update Operator set RoomType=0, CheckOut=NULL");
    form.close();
    TOperator_Form again;
    again.show();
    clickAccount(again, "boss");
    QVERIFY(!child<QGroupBox>(&again, "QuanXian_Gb")->isEnabled());
    QVERIFY(child<QPushButton>(&again, "Delete_Bt")->isEnabled());
    QVERIFY(!passwordGroupEnabled(again)); // the administrator has a password
    for (const OperatorRight &right : OperatorRights())
        QCOMPARE(child<QCheckBox>(&again, right.checkBox)->isChecked(),
                 QByteArray(right.column) != "RoomType" && QByteArray(right.column) != "CheckOut");
    child<QPushButton>(&again, "Add_BT")->click();
    for (QCheckBox *box : again.RightBoxes())
        QVERIFY(!box->isChecked());
    QVERIFY(!child<QPushButton>(&again, "Add_BT")->isEnabled());
    QVERIFY(child<QLineEdit>(&again, "User_Edit")->isEnabled());
}

void TestOperators::addingAnAccount()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    TOperator_Form form;
    form.show();
    child<QPushButton>(&form, "Add_BT")->click();
    auto *save = child<QPushButton>(&form, "Save_Bt");
    child<QLineEdit>(&form, "StafferName_Edit")->setText("Ann O'Brien");
    QVERIFY(!save->isEnabled()); // both names are needed
    child<QLineEdit>(&form, "User_Edit")->setText("o'brien");
    QVERIFY(save->isEnabled());
    QVERIFY(child<QGroupBox>(&form, "QuanXian_Gb")->isEnabled());
    // "All", then one box unchecked: sixteen rights.
    child<QCheckBox>(&form, "SelectAll_CB")->setChecked(true);
    child<QCheckBox>(&form, "Operator_CB")->setChecked(false);
    save->click();
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QString sum = "0";
    for (const QString &right : OperatorRightColumns())
        sum += '+' + right;
    QCOMPARE(hotel.scalar("select " + sum + " from Operator where Staffer='o''brien'").toInt(), 16);
    QCOMPARE(hotel.scalar("select OperatorManage from Operator where Staffer='o''brien'").toInt(),
             0);
    QCOMPARE(hotel.scalar("select StafferName from Operator where Staffer='o''brien'").toString(),
             QStringLiteral("Ann O'Brien"));
    QVERIFY(hotel.scalar("select Pass from Operator where Staffer='o''brien'").isNull());
    QVERIFY(hotel.scalar("select Branch from Operator where Staffer='o''brien'").isNull());
    QCOMPARE(child<QTableView>(&form, "EmployeeInfo_DBGrid")->model()->rowCount(), 2);
    QVERIFY(!save->isEnabled());
    QVERIFY(!child<QLineEdit>(&form, "User_Edit")->isEnabled());
    QVERIFY(child<QLineEdit>(&form, "User_Edit")->text().isEmpty());
    QVERIFY(child<QPushButton>(&form, "Add_BT")->isEnabled());
    // Without a password the account cannot log on.
    QVERIFY(!TryLogon("o'brien", QString()));

    // The same name again, typed exactly (apostrophe and all), is refused.
    addAccount(form, "Someone else", "o'brien", {"CheckIn"});
    QCOMPARE(hotel.dialogs.texts(), QStringList{"This user has exist!"});
    QCOMPARE(accounts(hotel, "o'brien"), 1);
    QCOMPARE(child<QLineEdit>(&form, "User_Edit")->text(), QStringLiteral("o'brien"));
    QVERIFY(!hotel.module.Operator_ado.Filtered);
    // A name that only looks alike is another account.
    hotel.dialogs.clear();
    child<QLineEdit>(&form, "User_Edit")->setText("o'brien' or '1'='1");
    child<QPushButton>(&form, "Save_Bt")->click();
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QCOMPARE(accounts(hotel, "o'brien' or '1'='1"), 1);
    QCOMPARE(hotel
                 .scalar("select CheckIn + CheckOut from Operator where StafferName='Someone "
                         "else'")
                 .toInt(),
             1);
}

void TestOperators::firstPassword()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    TOperator_Form form;
    form.show();
    addAccount(form, "Carl", "carl", {"CheckIn"});
    clickAccount(form, "carl");
    QVERIFY(passwordGroupEnabled(form));

    struct Attempt
    {
        QString typed;
        std::optional<QString> again;
        QStringList messages;
    };
    const Attempt refused[] = {
        {"pw1", std::nullopt, {}},
        {"pw1", QString(), {"You must input password!"}},
        {"", QString(), {"You must input password!"}},
        {"pw1", QStringLiteral("pw2"), {"Two passwords not same!"}},
    };
    for (const Attempt &a : refused) {
        hotel.dialogs.clear();
        setPassword(form, a.typed, a.again);
        QCOMPARE(hotel.dialogs.texts(), a.messages);
        QVERIFY(hotel.scalar("select Pass from Operator where Staffer='carl'").isNull());
        QVERIFY(passwordGroupEnabled(form));
    }

    hotel.dialogs.clear();
    setPassword(form, "a long password", QStringLiteral("a long password"));
    QVERIFY(hotel.dialogs.messages.isEmpty());
    const QString stored =
        hotel.scalar("select Pass from Operator where Staffer='carl'").toString();
    QVERIFY(IsPasswordHash(stored));
    QCOMPARE(hotel.scalar("select Branch from Operator where Staffer='carl'").toString(),
             QString(20, '*'));
    QVERIFY(!passwordGroupEnabled(form));
    QVERIFY(child<QLineEdit>(&form, "Pass1_Edit")->text().isEmpty());
    auto *grid = child<QTableView>(&form, "EmployeeInfo_DBGrid");
    QCOMPARE(grid->model()->index(1, 2).data().toString(), QString(20, '*'));
    clickAccount(form, "boss");
    clickAccount(form, "carl");
    QVERIFY(!passwordGroupEnabled(form)); // a password is set here only once
    QVERIFY(TryLogon("carl", "a long password"));
}

void TestOperators::clickedAccountAfterAddAndSave()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    hotel.exec("insert into Operator (Staffer, StafferName) values ('zoe', 'Zoe')");
    TOperator_Form form;
    form.show();
    clickAccount(form, "zoe");
    QVERIFY(passwordGroupEnabled(form));
    QVERIFY(form.SelectedAccount() > 0);

    // Add forgets the clicked account: neither its password nor Delete can act on another.
    child<QPushButton>(&form, "Add_BT")->click();
    QVERIFY(!passwordGroupEnabled(form));
    QVERIFY(!child<QPushButton>(&form, "Delete_Bt")->isEnabled());
    addAccount(form, "Amy", "amy");
    QCOMPARE(form.SelectedAccount(), qint64(-1));
    QVERIFY(!passwordGroupEnabled(form));
    QVERIFY(!child<QPushButton>(&form, "Delete_Bt")->isEnabled());
    form.Delete_BtClick();
    form.PassOk_BtClick();
    QCOMPARE(hotel.scalar("select count(*) from Operator").toInt(), 3);

    // Clicked again, the actions reach the clicked account, not the table's first row.
    clickAccount(form, "zoe");
    setPassword(form, "zz", QStringLiteral("zz"));
    QVERIFY(
        IsPasswordHash(hotel.scalar("select Pass from Operator where Staffer='zoe'").toString()));
    QVERIFY(hotel.scalar("select Pass from Operator where Staffer='amy'").isNull());
    QVERIFY(TryLogon("boss", "secret"));
    clickAccount(form, "amy");
    child<QPushButton>(&form, "Delete_Bt")->click();
    QCOMPARE(accounts(hotel, "amy"), 0);
    QCOMPARE(hotel.scalar("select count(*) from Operator").toInt(), 2);
}

void TestOperators::deletingAccounts()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss"); // password "secret"
    TOperator_Form form;
    form.show();
    addAccount(form, "Second", "second", {"OperatorManage"}); // no password yet
    addAccount(form, "Clerk", "clerk", {"CheckIn"});
    auto del = [&](const QString &staffer) {
        hotel.dialogs.clear();
        clickAccount(form, staffer);
        child<QPushButton>(&form, "Delete_Bt")->click();
    };
    // The account one is logged on with stays.
    del("boss");
    QCOMPARE(hotel.dialogs.texts(),
             QStringList{"You can not delete the account you are logged on with!"});
    QCOMPARE(accounts(hotel, "boss"), 1);
    // Seen from another operator's logon: an administrator who cannot log on (no password)
    // does not keep the operators manageable, so the one who can may not go.
    LockSystemInfo.Staffer = "clerk";
    del("boss");
    QCOMPARE(hotel.dialogs.texts(), QStringList{"You can not delete the last administrator!"});
    QCOMPARE(accounts(hotel, "boss"), 1);
    QVERIFY(!hotel.module.Operator_ado.Filtered);
    QCOMPARE(child<QTableView>(&form, "EmployeeInfo_DBGrid")->model()->rowCount(), 3);
    QVERIFY(!child<QPushButton>(&form, "Delete_Bt")->isEnabled());
    // With a password the second administrator counts; then either may go, not both.
    clickAccount(form, "second");
    setPassword(form, "pw2", QStringLiteral("pw2"));
    del("boss");
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QCOMPARE(accounts(hotel, "boss"), 0);
    LockSystemInfo.Staffer = "nobody";
    del("second");
    QCOMPARE(hotel.dialogs.texts(), QStringList{"You can not delete the last administrator!"});
    // An administrator without a password goes while one who can log on remains; an
    // account without the right goes without a question.
    addAccount(form, "Third", "third", {"OperatorManage"});
    del("third");
    QVERIFY(hotel.dialogs.messages.isEmpty());
    del("clerk");
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QCOMPARE(hotel.scalar("select count(*) from Operator").toInt(), 1);
    QVERIFY(!child<QPushButton>(&form, "Delete_Bt")->isEnabled());
    // An account already gone is left alone.
    QCOMPARE(DeleteOperator(9999), DeleteOperatorResult::Gone);
}

void TestOperators::deleteAndPasswordActOnlyOnTheHighlightedAccount()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    hotel.exec("insert into Operator (Staffer, StafferName) values ('zoe', 'Zoe'), "
               "('amy', 'Amy')");
    TOperator_Form form;
    form.show();
    auto *grid = child<QTableView>(&form, "EmployeeInfo_DBGrid");
    auto *del = child<QPushButton>(&form, "Delete_Bt");
    // After a password is set the grid reloads and highlights nothing: Delete waits.
    clickAccount(form, "zoe");
    QVERIFY(del->isEnabled());
    setPassword(form, "zz", QStringLiteral("zz"));
    QVERIFY(!grid->selectionModel()->hasSelection());
    QVERIFY(!del->isEnabled());
    QVERIFY(!passwordGroupEnabled(form));
    form.Delete_BtClick();
    QCOMPARE(accounts(hotel, "zoe"), 1);
    // The highlight moved by other means than a click: nothing acts on the clicked account.
    clickAccount(form, "amy");
    QVERIFY(passwordGroupEnabled(form));
    grid->selectRow(0);
    QVERIFY(!del->isEnabled());
    QVERIFY(!passwordGroupEnabled(form));
    form.Delete_BtClick();
    QCOMPARE(hotel.scalar("select count(*) from Operator").toInt(), 3);
}

void TestOperators::logonNamesAreTrimmedAndUniqueIgnoringCase()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    hotel.exec("insert into Operator (Staffer, StafferName) values ('Old ', 'Older row')");
    TOperator_Form form;
    form.show();
    addAccount(form, "Clerk", "  clerk ");
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QCOMPARE(accounts(hotel, "clerk"), 1);
    const struct
    {
        const char *typed;
        const char *message;
    } refused[] = {{"clerk ", "This user has exist!"},
                   {"CLERK", "This user has exist!"},
                   {"old", "This user has exist!"},
                   {" BOSS", "This user has exist!"},
                   {"   ", "You must input user name!"}};
    for (const auto &r : refused) {
        hotel.dialogs.clear();
        addAccount(form, "Someone", QString::fromLatin1(r.typed));
        QCOMPARE(hotel.dialogs.texts(), QStringList{QString::fromLatin1(r.message)});
    }
    QCOMPARE(hotel.scalar("select count(*) from Operator").toInt(), 3);
    QCOMPARE(AddOperator("", "x", {}).result, AddOperatorResult::NameEmpty);
}

void TestOperators::plainPasswordsAreHashedWhenTheDatabaseOpens()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    hotel.exec("insert into Operator (Staffer, StafferName, Pass) values ('ann', 'Ann', 'p1'), "
               "('bob', 'Bob', ''), ('cy', 'Cy', NULL)");
    const QString bossHash =
        hotel.scalar("select Pass from Operator where Staffer='boss'").toString();
    QCOMPARE(HashPlainPasswords(hotel.module.conn), 2);
    for (const char *staffer : {"ann", "bob"})
        QVERIFY(IsPasswordHash(hotel
                                   .scalar(QStringLiteral("select Pass from Operator where "
                                                          "Staffer='%1'")
                                               .arg(staffer))
                                   .toString()));
    QCOMPARE(hotel.scalar("select Pass from Operator where Staffer='boss'").toString(), bossHash);
    QVERIFY(hotel.scalar("select Pass from Operator where Staffer='cy'").isNull());
    QVERIFY(TryLogon("ann", "p1"));
    QVERIFY(TryLogon("bob", ""));
    QCOMPARE(HashPlainPasswords(hotel.module.conn), 0);
}

void TestOperators::passwordChange()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss"); // password "secret"
    const QString branch = hotel.scalar("select Branch from Operator").toString();
    TChangePassword_Form form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Change password"));
    QVERIFY(child<QLineEdit>(&form, "NewPassword_Edit")->isHidden());

    pressOk(form, "Secret");
    QVERIFY(form.InFirstStage());
    QCOMPARE(hotel.dialogs.texts(), QStringList{"Old password not correct!"});
    QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("Warning"));
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Information);

    hotel.dialogs.clear();
    pressOk(form, "  secret ");
    QVERIFY(!form.InFirstStage());
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QVERIFY(child<QLabel>(&form, "Label1")->isHidden());
    QVERIFY(!child<QLineEdit>(&form, "RepeatNewPassword_Edit")->isHidden());

    pressOk(form, "new1", "new2");
    QVERIFY(!form.InFirstStage());
    QCOMPARE(hotel.dialogs.texts(), QStringList{"new code not match!"});
    QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("Info"));
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Error);
    QVERIFY(TryLogon("boss", "secret"));

    hotel.dialogs.clear();
    pressOk(form, "new1 ", " new1");
    QCOMPARE(hotel.dialogs.texts(), QStringList{"Password changed ok!"});
    QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("Warning"));
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(IsPasswordHash(hotel.scalar("select Pass from Operator").toString()));
    QVERIFY(TryLogon("boss", "new1"));
    QVERIFY(!TryLogon("boss", "secret"));
    QCOMPARE(hotel.scalar("select Branch from Operator").toString(), branch);
}

void TestOperators::passwordChangeEdgeCases()
{
    TestHotel hotel;
    hotel.exec("insert into Operator (Staffer, StafferName, Pass, OperatorManage) values "
               "('o''neil', 'Legacy', 'plain', 1), ('long', 'Long', NULL, 0), "
               "('none', 'None', NULL, 0)");
    const QString longPassword = QStringLiteral("much longer than eight");
    SetOperatorPassword(hotel.scalar("select ID from Operator where Staffer='long'").toLongLong(),
                        longPassword);

    // A plain password of an older database is proven and replaced by a hash; two empty
    // entries give an empty password that then logs on.
    LockSystemInfo.Staffer = "o'neil";
    {
        TChangePassword_Form form;
        pressOk(form, "plain");
        pressOk(form, "", "");
        QCOMPARE(hotel.dialogs.texts(), QStringList{"Password changed ok!"});
        QVERIFY(IsPasswordHash(
            hotel.scalar("select Pass from Operator where Staffer='o''neil'").toString()));
        QVERIFY(TryLogon("o'neil", QString()));
    }
    // A password longer than the new-password fields is still proven in full.
    LockSystemInfo.Staffer = "long";
    {
        TChangePassword_Form form;
        pressOk(form, longPassword);
        QVERIFY(!form.InFirstStage());
    }
    // An account without a password has nothing to prove.
    hotel.dialogs.clear();
    LockSystemInfo.Staffer = "none";
    {
        TChangePassword_Form form;
        pressOk(form, "");
        QVERIFY(form.InFirstStage());
        QCOMPARE(hotel.dialogs.texts(), QStringList{"Old password not correct!"});
    }
    // The password changed elsewhere between the two stages: nothing is stored, no success is
    // reported, and the form asks for the current password again.
    hotel.dialogs.clear();
    LockSystemInfo.Staffer = "long";
    {
        TChangePassword_Form form;
        pressOk(form, longPassword);
        hotel.exec("update Operator set Pass='other' where Staffer='long'");
        pressOk(form, "mine", "mine");
        QCOMPARE(hotel.dialogs.texts(), QStringList{"Old password not correct!"});
        QVERIFY(form.InFirstStage());
        QCOMPARE(hotel.scalar("select Pass from Operator where Staffer='long'").toString(),
                 QStringLiteral("other"));
    }
}

void TestOperators::passwordsOfAnyLengthUpToTheLimitAreTakenWhole()
{
    TestHotel hotel;
    hotel.logOnAdministrator("boss");
    const QString longest(kPasswordMaxLength, 'p');
    const QString tooLong = longest + 'p';
    // The password change takes the new password whole, or refuses it with a word.
    {
        TChangePassword_Form form;
        pressOk(form, "secret");
        pressOk(form, tooLong, tooLong);
        QCOMPARE(hotel.dialogs.texts(), QStringList{PasswordTooLongText()});
        QVERIFY(TryLogon("boss", "secret"));
        hotel.dialogs.clear();
        pressOk(form, "123456789", "123456789");
        QCOMPARE(hotel.dialogs.texts(), QStringList{"Password changed ok!"});
        QVERIFY(TryLogon("boss", "123456789"));
    }
    {
        TChangePassword_Form form;
        pressOk(form, "123456789");
        pressOk(form, longest, longest);
        QVERIFY(TryLogon("boss", longest));
    }
    // The operator form's first password: the same limit.
    hotel.dialogs.clear();
    hotel.exec("insert into Operator (Staffer, StafferName) values ('zoe', 'Zoe')");
    TOperator_Form form;
    form.show();
    clickAccount(form, "zoe");
    setPassword(form, tooLong, tooLong);
    QCOMPARE(hotel.dialogs.texts(), QStringList{PasswordTooLongText()});
    QVERIFY(hotel.scalar("select Pass from Operator where Staffer='zoe'").isNull());
    hotel.dialogs.clear();
    setPassword(form, longest, longest);
    QVERIFY(hotel.dialogs.messages.isEmpty());
    QVERIFY(TryLogon("zoe", longest));
}

QUENMAR_TEST_MAIN(TestOperators)
#include "test_operators.moc"
