// The issue log: day and card type filters in both database dialects, the lazy list and its
// status line, the purge and its right, and the printed issue report; the plans of the issue
// log's and the door log's statements on a large log, with and without statistics.
#include "app/application.h"
#include "data/clock.h"
#include "data/dataset.h"
#include "data/settings.h"
#include "print/print.h"
#include "staffcards/issuelog.h"
#include "staffcards/issuelogform.h"
#include "staffcards/opendoorrecords.h"
#include "support/testhotel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

namespace {

// A hotel on 2024-05-10 10:00 with its administrator logged on.
struct Office
{
    TestHotel hotel;
    Office()
    {
        hotel.logOnAdministrator("amy");
        SetNow(QDateTime(QDate(2024, 5, 10), QTime(10, 0)));
    }
    void issued(int cardType, const QString &inputTime, const QString &holder = QString())
    {
        hotel.exec(QStringLiteral("insert into MakeCardRecord (Rom, CardType, Holder, MakeName, "
                                  "RoomStr, InputTime, Explain) values ('0000000%1', %1, '%2', "
                                  "'Amy', '101', '%3', 'hidden note')")
                       .arg(cardType)
                       .arg(holder.isEmpty() ? inputTime : holder, inputTime));
    }
};

// The InputTime of the rows a statement selects, in its order.
QStringList selected(TestHotel &hotel, const QStringList &lines)
{
    Query q(hotel.module.conn);
    q.SQL = lines;
    q.Open();
    QStringList times;
    for (q.First(); !q.Eof(); q.Next())
        times.append(q.AsString("InputTime"));
    return times;
}

QTableView *grid(QWidget *form)
{
    return child<QTableView>(form, "DBGrid1");
}

// Column 4 (Issue time) of every row the grid has read.
QStringList listed(QWidget *form)
{
    QStringList times;
    const QAbstractItemModel *model = grid(form)->model();
    for (int r = 0; r < model->rowCount(); ++r)
        times.append(model->index(r, 4).data().toString());
    return times;
}

QString panel0(QWidget *form)
{
    return child<QStatusBar>(form, "StatusBar1")->findChild<QLabel *>("StatusBar1_Panel0")->text();
}

void chooseDays(QWidget *form, const QDate &first, const QDate &last)
{
    child<QDateEdit>(form, "DateStart_Dtp")->setDate(first);
    child<QDateEdit>(form, "DateEnd_Dtp")->setDate(last);
    child<QPushButton>(form, "Check_Bt")->click();
}

const QStringList kBoundary = {
    "2024-04-30 23:59:59", "2024-05-01 00:00:00", "2024-05-02 12:00:00",
    "2024-05-03 23:59:00", "2024-05-03 23:59:59", "2024-05-04 00:00:00",
};

} // namespace

class TestIssueLog : public QObject
{
    Q_OBJECT
private slots:
    void bothDialectsSelectTheSameDays_data();
    void bothDialectsSelectTheSameDays();
    void formListsTodayThenDaysAndTypes();
    void listReadsOnDemandAndCountsApart();
    void purgeAsksAndKeepsTheYear();
    void purgeNeedsTheSettingsRight();
    void issueReportPrintsTheShownColumns();
    void issueReportKeepsFixedColumnsWholeAndWrapsLongTexts();
    void printoutNamesTheListedDays();
    void listingsAreBoundedByTimeOrRoomWhateverTheStatistics();
};

void TestIssueLog::bothDialectsSelectTheSameDays_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("three days") << QDate(2024, 5, 1) << QDate(2024, 5, 3) << kBoundary.mid(1, 4);
    QTest::newRow("the last day alone")
        << QDate(2024, 5, 3) << QDate(2024, 5, 3) << kBoundary.mid(3, 2);
    QTest::newRow("the day after") << QDate(2024, 5, 4) << QDate(2024, 5, 4) << kBoundary.mid(5);
    QTest::newRow("start after end") << QDate(2024, 5, 3) << QDate(2024, 5, 1) << QStringList();
}

void TestIssueLog::bothDialectsSelectTheSameDays()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(QStringList, expected);
    Office office;
    for (const QString &t : kBoundary)
        office.issued(10, t);

    for (DayComparison form : {DayComparison::Range, DayComparison::DateDiff}) {
        QStringList lines{"select InputTime from MakeCardRecord where"};
        lines += DaysFromToCondition("InputTime", first, last, form);
        lines << "order by InputTime";
        QCOMPARE(selected(office.hotel, lines), expected);
    }
    // The embedded database compares with the midnights around the days.
    QCOMPARE(DaysFromToCondition("M.InputTime", QDate(2024, 5, 1), QDate(2024, 5, 3)),
             (QStringList{"M.InputTime>='2024-05-01 00:00:00'", "and",
                          "M.InputTime<'2024-05-04 00:00:00'"}));

    // The purge's "on or before": the cut-off day itself goes, the next day stays.
    const QDateTime cutOff(QDate(2024, 5, 3), QTime(10, 0));
    for (DayComparison form : {DayComparison::Range, DayComparison::DateDiff}) {
        QStringList lines{"select InputTime from MakeCardRecord where"};
        lines += OnOrBeforeDayCondition("InputTime", cutOff, form);
        lines << "order by InputTime";
        QCOMPARE(selected(office.hotel, lines), kBoundary.mid(0, 5));
    }
}

void TestIssueLog::formListsTodayThenDaysAndTypes()
{
    Office office;
    for (const QString &t : kBoundary)
        office.issued(10, t);
    office.issued(4, "2024-05-02 13:00:00");
    office.issued(99, "2024-05-02 14:00:00"); // a type without a CardType row
    office.issued(10, "2024-05-10 08:00:00");
    office.issued(2, "2024-05-10 07:00:00");
    office.issued(2, "2024-05-11 00:00:00");
    office.hotel.exec("insert into CardType (ID, C_Title) values (20, 'Guest''s card')");
    office.issued(20, "2024-05-02 15:00:00");

    TMC_R_From form;
    QCOMPARE(form.objectName(), QStringLiteral("MC_R_From"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Checking card issue log"));
    QComboBox *types = child<QComboBox>(&form, "CardType_CB");
    QCOMPARE(types->count(), 12);
    QCOMPARE(types->currentText(), QStringLiteral("All card types"));
    QCOMPARE(types->itemText(0), QStringLiteral("Data-clear card"));
    QCOMPARE(types->itemText(10), QStringLiteral("Guest's card"));
    // Opening lists today's cards of every type, oldest first.
    QCOMPARE(listed(&form), (QStringList{"2024-05-10 07:00:00", "2024-05-10 08:00:00"}));
    const QStringList titles{"Card type", "Card holder", "User",
                             "Room no.",  "Issue time",  "End time"};
    for (int c = 0; c < titles.size(); ++c)
        QCOMPARE(grid(&form)->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
    for (int c = titles.size(); c < grid(&form)->model()->columnCount(); ++c)
        QVERIFY(grid(&form)->isColumnHidden(c));

    chooseDays(&form, QDate(2024, 5, 1), QDate(2024, 5, 3));
    QCOMPARE(listed(&form),
             (QStringList{"2024-05-01 00:00:00", "2024-05-02 12:00:00", "2024-05-02 13:00:00",
                          "2024-05-02 15:00:00", "2024-05-03 23:59:00", "2024-05-03 23:59:59"}));

    // A type change lists at once; a date change waits for "Check(&R)".
    child<QDateEdit>(&form, "DateEnd_Dtp")->setDate(QDate(2024, 5, 10));
    types->setCurrentText("Master card");
    QCOMPARE(listed(&form),
             (QStringList{"2024-05-01 00:00:00", "2024-05-02 12:00:00", "2024-05-03 23:59:00",
                          "2024-05-03 23:59:59", "2024-05-04 00:00:00", "2024-05-10 08:00:00"}));
    types->setCurrentText("Guest's card");
    QCOMPARE(listed(&form), QStringList{"2024-05-02 15:00:00"});
    types->setCurrentIndex(types->count() - 1);
    QCOMPARE(listed(&form).size(), 9); // every type with a CardType row, not type 99
    QVERIFY(office.hotel.dialogs.messages.isEmpty());
}

void TestIssueLog::listReadsOnDemandAndCountsApart()
{
    Office office;
    for (int i = 0; i < 12; ++i)
        office.issued(10, QStringLiteral("2024-05-10 08:%1:00").arg(i, 2, 10, QChar('0')));
    {
        TMC_R_From form;
        grid(&form)->selectRow(2);
        QCOMPARE(panel0(&form), QStringLiteral("Record: 3/12"));
    }

    // Many rows: the first screen is read, the count is complete, scrolling reads on.
    office.hotel.exec("with recursive n(i) as (select 0 union all select i+1 from n where i<999) "
                      "insert into MakeCardRecord (Rom, CardType, InputTime) select 'X', 2, "
                      "datetime('2024-05-10 09:00:00', '+' || i || ' seconds') from n");
    TMC_R_From form;
    QAbstractItemModel *model = grid(&form)->model();
    QVERIFY(model->rowCount() < 1012);
    QVERIFY(model->canFetchMore(QModelIndex()));
    QCOMPARE(panel0(&form), QStringLiteral("Record: 1/1012"));
    grid(&form)->resize(600, 300);
    grid(&form)->scrollToBottom();
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
    QCOMPARE(model->rowCount(), 1012);
    QCOMPARE(model->index(1011, 4).data().toString(), QStringLiteral("2024-05-10 09:16:39"));
    grid(&form)->selectRow(1011);
    QCOMPARE(panel0(&form), QStringLiteral("Record: 1012/1012"));
}

void TestIssueLog::purgeAsksAndKeepsTheYear()
{
    Office office;
    office.issued(10, "2022-01-01 00:00:00");
    office.issued(10, "2023-05-11 23:59:59");
    office.issued(10, "2023-05-12 00:00:00");
    office.issued(10, "2024-05-10 09:00:00");
    auto remaining = [&] {
        return selected(office.hotel, {"select InputTime from MakeCardRecord order by InputTime"});
    };
    TMC_R_From form;
    QPushButton *purge = child<QPushButton>(&form, "DeleteOldData_Bt");
    QVERIFY(purge->isEnabled());

    office.hotel.dialogs.answers = {MsgResult::Cancel};
    purge->click();
    QCOMPARE(office.hotel.dialogs.messages.size(), 1);
    const ScriptedDialogs::Shown asked = office.hotel.dialogs.messages[0];
    QCOMPARE(asked.text, "Are you sure to delete all issuing records before" +
                             QLocale().toString(QDate(2023, 5, 11), QLocale::ShortFormat) + "?");
    QCOMPARE(asked.caption, QStringLiteral("Warning"));
    QCOMPARE(asked.buttons, MsgButtons::OkCancel);
    QCOMPARE(asked.icon, MsgIcon::Question);
    QCOMPARE(remaining().size(), 4);

    // A purge the database refuses (another workstation holds it, say) deleted nothing, and
    // the list shows what is there.
    office.hotel.exec("create trigger NoPurge before delete on MakeCardRecord begin "
                      "select raise(abort, 'database is locked'); end");
    office.hotel.dialogs.clear();
    purge->click();
    QCOMPARE(office.hotel.dialogs.messages.size(), 2);
    QVERIFY(office.hotel.dialogs.texts()[1].contains("database is locked"));
    QCOMPARE(remaining().size(), 4);
    QCOMPARE(listed(&form), QStringList{"2024-05-10 09:00:00"});
    QCOMPARE(panel0(&form).right(3), QStringLiteral("1/1"));
    office.hotel.exec("drop trigger NoPurge");

    purge->click();
    QCOMPARE(remaining(), (QStringList{"2023-05-12 00:00:00", "2024-05-10 09:00:00"}));
    QCOMPARE(listed(&form), QStringList{"2024-05-10 09:00:00"}); // listed again
}

void TestIssueLog::purgeNeedsTheSettingsRight()
{
    Office office;
    office.hotel.exec("update Operator set SystemInfo=0 where Staffer='amy'");
    TMC_R_From form;
    QVERIFY(!child<QPushButton>(&form, "DeleteOldData_Bt")->isEnabled());
}

void TestIssueLog::issueReportPrintsTheShownColumns()
{
    Office office;
    for (int i = 0; i < 90; ++i)
        office.issued(10, QStringLiteral("2024-05-10 08:%1:00").arg(i % 60, 2, 10, QChar('0')),
                      QStringLiteral("Holder %1").arg(i, 2, 10, QChar('0')));
    TMC_R_From form;
    QAbstractItemModel *model = grid(&form)->model();
    model->setProperty("HotelName", "Harbour View Hotel");
    model->setProperty("Days", "2024-05-10 - 2024-05-10");
    model->setProperty("CardType", "All card types");

    const QString file = office.hotel.dir() + "/issues.pdf";
    QVERIFY(SaveReportPdf(model, PRINT_ISSUE_RECORDS, file));

    const QString text = PdfText(file);
    for (const char *part :
         {"Harbour View Hotel", "Card issue records", "Issue days: 2024-05-10 - 2024-05-10",
          "Card type: All card types", "Card holder", "End time"})
        QVERIFY2(text.contains(QLatin1String(part)), part);
    QVERIFY(!text.contains("hidden note")); // the hidden columns stay off the paper
    const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
    QVERIFY(pages.size() >= 2);
    for (int p = 0; p < pages.size(); ++p)
        QVERIFY(pages[p].contains(QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages.size())));
    for (int i = 0; i < 90; ++i)
        QCOMPARE(text.count(QStringLiteral("Holder %1").arg(i, 2, 10, QChar('0'))), 1);
}

// One long holder once squeezed every column: the issue times came out cut on every row.
void TestIssueLog::issueReportKeepsFixedColumnsWholeAndWrapsLongTexts()
{
    Office office;
    const QString longHolder = QStringLiteral("Lindqvist-Montgomery Grand Conference Delegation "
                                              "of the Northern Coastal Region Travel Group");
    QVERIFY(longHolder.size() >= 85);
    for (int i = 0; i < 40; ++i)
        office.issued(10, QStringLiteral("2024-05-10 09:%1:00").arg(i, 2, 10, QChar('0')),
                      i == 7 ? longHolder : QStringLiteral("Guest %1").arg(i));
    TMC_R_From form;
    QAbstractItemModel *model = grid(&form)->model();
    QVERIFY(model->headerData(1, Qt::Horizontal, PRINT_FREE_TEXT_COLUMN_ROLE).toBool());
    QVERIFY(!model->headerData(4, Qt::Horizontal, PRINT_FREE_TEXT_COLUMN_ROLE).toBool());

    const QString file = office.hotel.dir() + "/long.pdf";
    QVERIFY(SaveReportPdf(model, PRINT_ISSUE_RECORDS, file));

    const QString text = PdfText(file);
    QVERIFY(!text.contains(QChar(0x2026))); // nothing elided
    for (int i = 0; i < 40; ++i)
        QVERIFY2(text.contains(QStringLiteral("2024-05-10 09:%1:00").arg(i, 2, 10, QChar('0'))),
                 qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("Master card")), 40);
    // The holder wraps within its column: every word is there, on more than one line.
    for (const QString &word : longHolder.split(' '))
        QVERIFY2(text.contains(word), qPrintable(word));
    QVERIFY(!text.contains(longHolder));
}

// The heading names the days that were listed, not what the pickers show at printing.
void TestIssueLog::printoutNamesTheListedDays()
{
    Office office;
    office.hotel.installMessageLibrary(); // links the staged Dll/ folder
    office.issued(10, "2024-05-02 12:00:00");
    TMC_R_From form;
    chooseDays(&form, QDate(2024, 5, 1), QDate(2024, 5, 3));
    const QString listed = child<QDateEdit>(&form, "DateStart_Dtp")->text() + " - " +
                           child<QDateEdit>(&form, "DateEnd_Dtp")->text();
    child<QDateEdit>(&form, "DateStart_Dtp")->setDate(QDate(2024, 4, 1)); // not listed
    bool shown = false;
    WhenModalOpens("PrintPreview_Form", [&](QWidget *preview) {
        shown = true;
        static_cast<QDialog *>(preview)->reject();
    });
    child<QPushButton>(&form, "Print_Bt")->click();
    QVERIFY(shown);
    QCOMPARE(grid(&form)->model()->property("Days").toString(), listed);
    QCOMPARE(grid(&form)->model()->property("CardType").toString(),
             QStringLiteral("All card types"));
}

QUENMAR_TEST_MAIN(TestIssueLog)
// Without statistics SQLite once served one card type from the index on card type alone and
// walked every record of that type. Every listing and count of either log must be bounded by
// the issue days (or the room), in a database as the program makes it, as an earlier version
// made it, and whatever ANALYZE left behind.
void TestIssueLog::listingsAreBoundedByTimeOrRoomWhateverTheStatistics()
{
    TestHotel hotel;
    // A title that needs quoting, matched as stored.
    hotel.exec("insert into CardType (ID, C_Title) values (20, 'Manager''s card')");
    // Records every 17 minutes from 2023-01-01, seven in ten guest cards, the others of
    // every type in turn; openings every minute in 20 rooms.
    const auto fill = [&](int records) {
        hotel.exec(QStringLiteral(
                       "with recursive n(i) as (select 0 union all select i+1 from n where i<%1) "
                       "insert into MakeCardRecord (Rom, CardType, InputTime) select "
                       "printf('%08X', i), case when i % 10 < 7 then 4 else T.ID end, "
                       "datetime('2023-01-01', '+' || (i * 17) || ' minutes') from n join "
                       "(select ID, row_number() over (order by ID) - 1 as k from CardType "
                       "where ID <> 4) T on T.k = (i / 10 * 3 + i % 10) % 10")
                       .arg(records - 1));
        hotel.exec(QStringLiteral(
                       "with recursive n(i) as (select 0 union all select i+1 from n where i<%1) "
                       "insert into OpenDoorRecord (RoomStr, Rom, OpenTime, CardType) select "
                       "101 + i % 20, printf('%08X', i), datetime('2024-01-01', '+' || i || "
                       "' minutes'), 4 from n")
                       .arg(records / 4 - 1));
    };
    const auto reopen = [&] { QVERIFY(OpenDatabaseFile(hotel.dbPath())); };

    const auto check = [&](const char *state) {
        QStringList titles = CardTypeTitles(hotel.module.conn);
        QVERIFY(titles.contains("Manager's card"));
        QList<std::optional<QString>> types(titles.begin(), titles.end());
        types.append(std::nullopt);
        for (const std::optional<QString> &title : types) {
            for (int days : {1, 31}) {
                IssueLogFilter chosen{QDate(2023, 3, 1), QDate(2023, 3, days), title, {}};
                const IssueLogFilter filter = WithCardTypeIds(hotel.module.conn, chosen);
                const QString what = QStringLiteral("%1, %2, %3 days")
                                         .arg(state, title.value_or("all types"))
                                         .arg(days);
                for (const QStringList &lines :
                     {MakeCardRecordListLines(filter), MakeCardRecordCountLines(filter)}) {
                    const QStringList plan = hotel.queryPlan(lines);
                    const QStringList onRecords = plan.filter(QRegularExpression(" M\\b"));
                    QVERIFY2(!onRecords.isEmpty(), qPrintable(what));
                    for (const QString &step : onRecords)
                        QVERIFY2(step.startsWith("SEARCH M USING") &&
                                     step.contains("InputTime>? AND InputTime<?"),
                                 qPrintable(what + ": " + plan.join("; ")));
                    // The list comes in its order from the index, not sorted first.
                    QVERIFY2(plan.filter("TEMP B-TREE").isEmpty(),
                             qPrintable(what + ": " + plan.join("; ")));
                }
                // The same records as the type's title names.
                QString reference =
                    QStringLiteral("select count(*) from MakeCardRecord where InputTime >= "
                                   "'2023-03-01' and InputTime < '2023-03-%1'")
                        .arg(days + 1, 2, 10, QChar('0'));
                if (title)
                    reference += QStringLiteral(" and CardType in (select ID from CardType "
                                                "where C_Title = '%1')")
                                     .arg(QString(*title).replace("'", "''"));
                IssueLogList list(hotel.module.conn);
                list.List(chosen);
                QVERIFY2(list.Count > 0, qPrintable(what));
                QCOMPARE(list.Count, hotel.scalar(reference).toInt());
            }
        }
        for (const QStringList &lines :
             {OpenDoorRecordListLines("105"), OpenDoorRecordCountLines("105")}) {
            const QStringList plan = hotel.queryPlan(lines);
            QVERIFY2(plan.size() == 1 && plan[0].startsWith("SEARCH OpenDoorRecord USING") &&
                         plan[0].contains("(RoomStr=?)"),
                     qPrintable(QString(state) + ": " + plan.join("; ")));
        }
    };

    // Statistics of a small log that has grown since.
    fill(50);
    hotel.exec("ANALYZE");
    fill(20000);
    reopen();
    check("stale statistics");

    // As quenmar-initdb made it: never analysed.
    hotel.exec("DROP TABLE sqlite_stat1");
    reopen();
    check("no statistics");

    // Made by an earlier version, without the indexes on card type and issue time, and on room
    // and opening time: they come when the database is opened, and replace the older one.
    hotel.exec("DROP INDEX MakeCardRecord_TypeTime");
    hotel.exec("DROP INDEX OpenDoorRecord_RoomTime");
    hotel.exec("CREATE INDEX OpenDoorRecord_RoomStr ON OpenDoorRecord (RoomStr)");
    reopen();
    QCOMPARE(hotel
                 .scalar("select group_concat(name) from (select name from sqlite_master where "
                         "name in ('MakeCardRecord_TypeTime', 'OpenDoorRecord_RoomTime', "
                         "'OpenDoorRecord_RoomStr') order by name)")
                 .toString(),
             QStringLiteral("MakeCardRecord_TypeTime,OpenDoorRecord_RoomTime"));
    check("opened after an earlier version");

    hotel.exec("ANALYZE");
    check("fresh statistics");
}

#include "test_issuelog.moc"
