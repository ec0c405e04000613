// The language catalogue: creating it, capturing a form's texts, loading them back when a
// form is created, the numbered dialog texts and titles, and the hidden capture key.
#include "app/application.h"
#include "app/logonform.h"
#include "app/mainform.h"
#include "data/appdir.h"
#include "data/dataset.h"
#include "data/sqltext.h"
#include "language/dialogtexts.h"
#include "language/language.h"
#include "staffcards/checkcardform.h"
#include "support/testhotel.h"
#include "ui/baseform.h"

#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A small form made the way the designer's setup makes one: widgets first, then the slots
// connected by name.
class SampleForm : public TBaseForm
{
    Q_OBJECT
public:
    explicit SampleForm(const QString &name = QStringLiteral("Sample_Form"))
    {
        setObjectName(name);
        setWindowTitle(QStringLiteral("Sample"));
        auto *layout = new QVBoxLayout(this);
        layout->setObjectName(QStringLiteral("verticalLayout"));
        Add_BT = add<QPushButton>("Add_BT");
        Add_BT->setText(QStringLiteral("Add"));
        Kind_CB = add<QComboBox>("Kind_CB");
        Kind_CB->addItems({QStringLiteral("one"), QStringLiteral("two")});
        Note_Label = add<QLabel>("Note_Label");
        Note_Label->setText(QStringLiteral("Note"));
        Guest_Edit = add<QLineEdit>("Guest_Edit");
        Rooms_Grid = add<QTableView>("Rooms_Grid");
        auto *model = new QStandardItemModel(0, 2, Rooms_Grid);
        model->setHorizontalHeaderLabels({QStringLiteral("Room"), QStringLiteral("Guest")});
        Rooms_Grid->setModel(model);
        Pages_Tab = add<QTabWidget>("Pages_Tab");
        auto *page = new QWidget;
        page->setObjectName(QStringLiteral("General_Page"));
        Pages_Tab->addTab(page, QStringLiteral("General"));
        QMetaObject::connectSlotsByName(this);
    }

    QPushButton *Add_BT;
    QComboBox *Kind_CB;
    QLabel *Note_Label;
    QLineEdit *Guest_Edit;
    QTableView *Rooms_Grid;
    QTabWidget *Pages_Tab;

private:
    template <class W> W *add(const char *name)
    {
        auto *w = new W(this);
        w->setObjectName(QString::fromLatin1(name));
        layout()->addWidget(w);
        return w;
    }
};

struct Row
{
    QString component, componentClass;
    QStringList lines;
};

QList<Row> componentRows(TLanguage *language, const QString &form)
{
    Query q(language->connection());
    q.Add(QStringLiteral("Select * From Component_Table where FormName=") + QuotedStr(form) +
          QStringLiteral(" Order By ID"));
    q.Open();
    QList<Row> rows;
    for (; !q.Eof(); q.Next()) {
        if (q.AsString("AppName") != QLatin1String("Orvane") || q.AsInteger("LanguageID") != 1033)
            qFatal("row of %s stored for another program or language", qPrintable(form));
        rows.append({q.AsString("ComponentName"), q.AsString("ComponentClass"),
                     q.AsString("ComponentProperty").split(QStringLiteral("\r\n"))});
    }
    return rows;
}

QStringList names(const QList<Row> &rows)
{
    QStringList n;
    for (const Row &r : rows)
        n.append(r.component);
    return n;
}

Row rowOf(const QList<Row> &rows, const QString &component)
{
    for (const Row &r : rows)
        if (r.component == component)
            return r;
    return {};
}

void exec(TLanguage *language, const QString &sql)
{
    QSqlQuery q(language->connection().database());
    if (!q.exec(sql))
        qFatal("%s", qPrintable(sql));
}

QStringList headers(QTableView *view)
{
    QStringList titles;
    for (int i = 0; i < view->model()->columnCount(); ++i)
        titles.append(view->model()->headerData(i, Qt::Horizontal).toString());
    return titles;
}

QStringList items(QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void firstFormCreatesTheCatalogue();
    void captureWritesOneRowPerComponentInTheLineFormat();
    void capturedTextsLoadBackWhenAFormIsCreated();
    void applyingStoredLines_data();
    void applyingStoredLines();
    void secondCaptureAsksBeforeRebuilding();
    void typedTextsNeverReachTheCatalogue();
    void statusLineIsCapturedWithItsDesignText();
    void damagedCatalogueLeavesTheBuiltInTexts();
    void dialogTextsAndTitles();
    void captureKey();
    void everyDialogTextInUseHasAWording();
};

void TestLanguage::firstFormCreatesTheCatalogue()
{
    TestHotel hotel;
    const QString path = hotel.dir() + "/DB/Language.mdb";
    QVERIFY(!QFile::exists(path));
    SampleForm form;
    QVERIFY(QFile::exists(path));
    QSqlQuery q(form.Language1->connection().database());
    for (const char *table : {"Component_Table", "Dialog_Table"}) {
        QVERIFY2(q.exec(QStringLiteral("select count(*) from ") + table), table);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    // Without a DB folder the folder is made too; an existing catalogue is opened as it is.
    QTemporaryDir bare;
    SetProgramDir(bare.path());
    {
        TLanguage language(nullptr);
        QVERIFY(QFile::exists(bare.path() + "/DB/Language.mdb"));
        exec(&language, "insert into Dialog_Table (AppName, FormName, DialogID, LanguageID, "
                        "Title, MessageStr) values ('Orvane', 'X', 0, 1033, 'kept', '')");
    }
    TLanguage again(nullptr);
    QCOMPARE(QSqlQuery("select Title from Dialog_Table", again.connection().database()).next(),
             true);
    SetProgramDir(hotel.dir());
}

void TestLanguage::captureWritesOneRowPerComponentInTheLineFormat()
{
    TestHotel hotel;
    SampleForm form;
    form.Kind_CB->addItem(QStringLiteral("a: b"));
    QVERIFY(form.Language1->SaveLanguage(nullptr));

    const QList<Row> rows = componentRows(form.Language1, "Sample_Form");
    QCOMPARE(names(rows), (QStringList{"Add_BT", "Kind_CB", "Note_Label", "Guest_Edit",
                                       "Rooms_Grid", "Pages_Tab", "General_Page", "Sample_Form"}));

    const Row button = rowOf(rows, "Add_BT");
    QCOMPARE(button.componentClass, QStringLiteral("QPushButton"));
    QVERIFY(button.lines.contains("text:Add"));
    QVERIFY(button.lines.contains("objectName:Add_BT"));
    QVERIFY(button.lines.indexOf("objectName:Add_BT") < button.lines.indexOf("toolTip:"));

    const QStringList combo = rowOf(rows, "Kind_CB").lines;
    const qsizetype at = combo.indexOf("items:QStringList");
    QVERIFY(at >= 0);
    QCOMPARE(combo.mid(at + 1, 3),
             (QStringList{"          0:one", "          1:two", "          2:a: b"}));

    const QStringList grid = rowOf(rows, "Rooms_Grid").lines;
    QCOMPARE(grid.mid(grid.indexOf("columns:QHeaderView") + 1),
             (QStringList{"   0:Room", "   1:Guest"}));
    const QStringList tabs = rowOf(rows, "Pages_Tab").lines;
    QCOMPARE(tabs.mid(tabs.indexOf("tabs:QTabBar") + 1), QStringList{"   0:General"});

    const Row self = rowOf(rows, "Sample_Form");
    QCOMPARE(self.componentClass, QStringLiteral("SampleForm"));
    QVERIFY(self.lines.contains("windowTitle:Sample"));
}

void TestLanguage::capturedTextsLoadBackWhenAFormIsCreated()
{
    TestHotel hotel;
    {
        SampleForm captured;
        captured.Add_BT->setText(QStringLiteral("Append"));
        captured.Kind_CB->setItemText(0, QStringLiteral("uno: 1"));
        captured.Kind_CB->setItemText(1, QStringLiteral("  dos"));
        captured.Note_Label->setText(QStringLiteral("first\nsecond\\n\r\\"));
        captured.Rooms_Grid->model()->setHeaderData(1, Qt::Horizontal, QStringLiteral("Gast: 1"));
        captured.Pages_Tab->setTabText(0, QStringLiteral("Allgemein"));
        captured.setWindowTitle(QStringLiteral("Probe"));
        QVERIFY(captured.Language1->SaveLanguage(nullptr));
    }
    SampleForm loaded; // loads while it is created, before it is shown
    QCOMPARE(loaded.Add_BT->text(), QStringLiteral("Append"));
    QCOMPARE(items(loaded.Kind_CB), (QStringList{"uno: 1", "  dos"}));
    QCOMPARE(loaded.Note_Label->text(), QStringLiteral("first\nsecond\\n\r\\"));
    QCOMPARE(headers(loaded.Rooms_Grid), (QStringList{"Room", "Gast: 1"}));
    QCOMPARE(loaded.Pages_Tab->tabText(0), QStringLiteral("Allgemein"));
    QCOMPARE(loaded.windowTitle(), QStringLiteral("Probe"));

    // A grid whose model the form makes after its setup gets its titles when first shown.
    SampleForm late;
    auto *model = new QStandardItemModel(0, 2, late.Rooms_Grid);
    late.Rooms_Grid->setModel(model);
    late.show();
    QCOMPARE(headers(late.Rooms_Grid), (QStringList{"Room", "Gast: 1"}));

    // A form that takes its name after the setup (forms sharing one designer file) loads
    // under that name when first shown.
    {
        SampleForm other(QStringLiteral("Renamed_Form"));
        other.Add_BT->setText(QStringLiteral("Renamed"));
        QVERIFY(other.Language1->SaveLanguage(nullptr));
    }
    SampleForm renamed;
    QCOMPARE(renamed.Add_BT->text(), QStringLiteral("Append"));
    renamed.setObjectName(QStringLiteral("Renamed_Form"));
    renamed.show();
    QCOMPARE(renamed.Add_BT->text(), QStringLiteral("Renamed"));
}

void TestLanguage::applyingStoredLines_data()
{
    QTest::addColumn<int>("items");     // items the combo box has when the lines are applied
    QTest::addColumn<QString>("lines"); // stored lines, joined by '|'
    QTest::addColumn<QStringList>("itemsAfter");
    QTest::addColumn<QString>("toolTipAfter");
    QTest::addColumn<QString>("nameAfter");

    QTest::newRow("string line after a list block")
        << 2 << "items:QStringList|          0:A|          1:B|toolTip:tip" << QStringList{"A", "B"}
        << "tip"
        << "Kind_CB";
    QTest::newRow("list that changed since the capture")
        << 3 << "items:QStringList|          0:A|          1:B|toolTip:tip"
        << QStringList{"one", "two", "three"} << "tip"
        << "Kind_CB";
    QTest::newRow("empty list, captured items")
        << 0 << "items:QStringList|          0:A|toolTip:tip" << QStringList{} << "tip"
        << "Kind_CB";
    QTest::newRow("names are never applied")
        << 2 << "objectName:Other|accessibleName:x|toolTip:t" << QStringList{"one", "two"} << "t"
        << "Kind_CB";
    QTest::newRow("unknown, non-caption and odd lines")
        << 2 << "noColon|bogus:1|currentText:typed|styleSheet:color: red|   0:x|toolTip:ok"
        << QStringList{"one", "two"} << "ok"
        << "Kind_CB";
}

void TestLanguage::applyingStoredLines()
{
    QFETCH(int, items);
    QFETCH(QString, lines);
    QFETCH(QStringList, itemsAfter);
    QFETCH(QString, toolTipAfter);
    QFETCH(QString, nameAfter);

    QComboBox box;
    box.setObjectName(QStringLiteral("Kind_CB"));
    box.addItems(QStringList{"one", "two", "three"}.mid(0, items));
    box.setAccessibleName(QStringLiteral("kind"));
    ApplyPropertyLines(&box, lines.split('|'));
    QCOMPARE(::items(&box), itemsAfter);
    QCOMPARE(box.toolTip(), toolTipAfter);
    QCOMPARE(box.objectName(), nameAfter);
    QCOMPARE(box.accessibleName(), QStringLiteral("kind"));
    QVERIFY(box.styleSheet().isEmpty());

    // The same for a collection block, and never into an input field.
    QTableView grid;
    QStandardItemModel model(0, 2);
    grid.setModel(&model);
    ApplyPropertyLines(&grid, {"columns:QHeaderView", "   0:A", "   1:B", "   2:C", "toolTip:g"});
    QCOMPARE(headers(&grid), (QStringList{"A", "B"}));
    QCOMPARE(grid.toolTip(), QStringLiteral("g"));
    QLineEdit edit;
    ApplyPropertyLines(&edit, {"text:leak", "placeholderText:Room"});
    QVERIFY(edit.text().isEmpty());
    QCOMPARE(edit.placeholderText(), QStringLiteral("Room"));
}

void TestLanguage::secondCaptureAsksBeforeRebuilding()
{
    TestHotel hotel;
    SampleForm form;
    int asked = 0;
    QVERIFY(form.Language1->SaveLanguage([&] { return ++asked, false; }));
    QCOMPARE(asked, 0);

    form.Add_BT->setText(QStringLiteral("Plus"));
    QVERIFY(!form.Language1->SaveLanguage([&] { return ++asked, false; }));
    QCOMPARE(asked, 1);
    QList<Row> rows = componentRows(form.Language1, "Sample_Form");
    QCOMPARE(rows.size(), 8);
    QVERIFY(rowOf(rows, "Add_BT").lines.contains("text:Add"));

    QVERIFY(form.Language1->SaveLanguage([&] { return ++asked, true; }));
    QCOMPARE(asked, 2);
    rows = componentRows(form.Language1, "Sample_Form");
    QCOMPARE(names(rows), (QStringList{"Add_BT", "Kind_CB", "Note_Label", "Guest_Edit",
                                       "Rooms_Grid", "Pages_Tab", "General_Page", "Sample_Form"}));
    QVERIFY(rowOf(rows, "Add_BT").lines.contains("text:Plus"));
    QCOMPARE(form.Language1->GetLanguageList(), QStringList{"1033"});

    // Another form's rows are not touched by this form's rebuild.
    SampleForm other(QStringLiteral("Other_Form"));
    QVERIFY(other.Language1->SaveLanguage(nullptr));
    QVERIFY(form.Language1->SaveLanguage([] { return true; }));
    QCOMPARE(componentRows(form.Language1, "Other_Form").size(), 8);
}

void TestLanguage::typedTextsNeverReachTheCatalogue()
{
    TestHotel hotel;
    TLogonForm logon;
    child<QLineEdit>(&logon, "LoginCode_Edit")->setText(QStringLiteral("clerk7"));
    child<QLineEdit>(&logon, "SystemLogin_Pas")->setText(QStringLiteral("s3cret!"));
    QVERIFY(logon.Language1->SaveLanguage(nullptr));
    const QList<Row> rows = componentRows(logon.Language1, "LogonForm");
    QVERIFY(names(rows).contains("SystemLogin_Pas"));
    for (const Row &row : rows) {
        const QString text = row.lines.join('\n');
        QVERIFY2(!text.contains("s3cret!") && !text.contains("clerk7"), qPrintable(row.component));
    }

    // Loading never puts text into an input field either.
    exec(logon.Language1,
         "update Component_Table set ComponentProperty='text:planted' || char(13) || char(10) || "
         "'toolTip:Password' where ComponentName='SystemLogin_Pas'");
    TLogonForm again;
    QVERIFY(child<QLineEdit>(&again, "SystemLogin_Pas")->text().isEmpty());
    QCOMPARE(child<QLineEdit>(&again, "SystemLogin_Pas")->toolTip(), QStringLiteral("Password"));
}

// A capture after "No Card!" once made every later form open showing "No Card!".
void TestLanguage::statusLineIsCapturedWithItsDesignText()
{
    TestHotel hotel;
    {
        TCheckCardForm form;
        child<QLabel>(&form, "Prompt_Label")->setText(QStringLiteral("No Card!"));
        QVERIFY(form.Language1->SaveLanguage(nullptr));
        const QStringList lines =
            rowOf(componentRows(form.Language1, "CheckCardForm"), "Prompt_Label").lines;
        QVERIFY(lines.contains(QStringLiteral("text:")));
        QVERIFY(!lines.join('\n').contains("No Card!"));
        // Other labels keep what they show.
        QVERIFY(rowOf(componentRows(form.Language1, "CheckCardForm"), "CardType_Label")
                    .lines.contains(QStringLiteral("text:Card Type:")));
    }
    TCheckCardForm again;
    QVERIFY(child<QLabel>(&again, "Prompt_Label")->text().isEmpty());
}

// The catalogue holds interface texts only: a damaged file leaves the built-in texts, told
// once, and every form still opens.
void TestLanguage::damagedCatalogueLeavesTheBuiltInTexts()
{
    TestHotel hotel;
    {
        QFile damaged(TLanguage::CatalogPath());
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(QByteArray(4096, '\x5a'));
    }
    hotel.dialogs.clear();
    TLogonForm logon;
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QCOMPARE(hotel.dialogs.messages[0].caption, QStringLiteral("Language catalogue"));
    QCOMPARE(hotel.dialogs.messages[0].icon, MsgIcon::Warning);
    QVERIFY2(hotel.dialogs.messages[0].text.contains("could not be read"),
             qPrintable(hotel.dialogs.messages[0].text));
    QVERIFY(!logon.Language1->Readable());
    QCOMPARE(child<QLabel>(&logon, "Operator_Label")->text(), QStringLiteral("User Name:"));

    // The second form is not told again; dialog texts and titles are the program's own.
    SampleForm form;
    QCOMPARE(hotel.dialogs.messages.size(), 1);
    QCOMPARE(form.Language1->GetDialogText(3), BuiltInDialogText("Sample_Form", 3));
    QCOMPARE(form.Language1->GetDialogTitle(1), BuiltInDialogTitle("Sample_Form", 1));
    QVERIFY(form.Language1->GetLanguageList().isEmpty());
    QVERIFY(!form.Language1->SaveLanguage(nullptr));
    form.Language1->LoadLanguage();
}

void TestLanguage::dialogTextsAndTitles()
{
    TestHotel hotel;
    QWidget owner;
    owner.setObjectName(QStringLiteral("MainForm")); // a form with built-in texts
    TLanguage language(&owner);
    language.SetLanguageID(1033);
    QCOMPARE(language.GetDialogText(9), QStringLiteral("All buildings"));
    QCOMPARE(language.GetDialogText(5), QString());

    // Rows in ID order: DialogID 2 first, then DialogID 1; the DialogID order decides.
    exec(&language,
         "insert into Dialog_Table (AppName, FormName, DialogID, LanguageID, Title, MessageStr) "
         "values ('Orvane', 'MainForm', 2, 1033, 'Two', 'a' || char(13) || char(10) || 'b' || "
         "char(13) || char(10) || 'c' || char(13) || char(10)), "
         "('Orvane', 'MainForm', 1, 1033, 'One', 'x' || char(13) || char(10) || 'y'), "
         "('Orvane', 'MainForm', 3, 2052, 'Other', 'z'), "
         "('Orvane', 'OtherForm', 4, 1033, 'Elsewhere', 'w')");

    // Titles come from the catalogue without a load; the program's own title otherwise.
    QCOMPARE(language.GetDialogTitle(2), QStringLiteral("Two"));
    QCOMPARE(language.GetDialogTitle(0), QStringLiteral("Orvane"));
    QCOMPARE(language.GetDialogTitle(3), QString()); // another language's row
    QCOMPARE(language.GetDialogTitle(4), QString()); // another form's row

    language.LoadLanguage();
    QCOMPARE(language.Variable, (QStringList{"a", "b", "c"}));
    QCOMPARE(language.GetDialogText(1), QStringLiteral("b"));
    QCOMPARE(language.GetDialogText(5), QString());
    QCOMPARE(language.GetDialogText(9), QStringLiteral("All buildings"));
    QCOMPARE(language.GetDialogText(-1), QString());
}

void TestLanguage::captureKey()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    const auto rowCount = [&](TLanguage *language, const QString &form) {
        return componentRows(language, form).size();
    };
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;

    SampleForm form;
    form.show();
    struct Attempt
    {
        MsgResult decoy;
        std::optional<QString> code;
        Qt::KeyboardModifiers modifiers;
        int inputBoxes;
        int rows;
    };
    const Attempt attempts[] = {
        {MsgResult::Cancel, std::nullopt, ctrlAlt, 0, 0},
        {MsgResult::Ok, std::nullopt, ctrlAlt, 1, 0},
        {MsgResult::Ok, QStringLiteral("wrong"), ctrlAlt, 1, 0},
        {MsgResult::Ok, QStringLiteral("QARVO"), ctrlAlt, 1, 0},
        {MsgResult::Ok, QStringLiteral("qarvo"), ctrlAlt | Qt::ShiftModifier, 1, 8},
    };
    for (const Attempt &a : attempts) {
        hotel.dialogs.messages.clear();
        hotel.dialogs.inputBoxes.clear();
        hotel.dialogs.answers = {a.decoy};
        hotel.dialogs.inputs = {a.code};
        QTest::keyClick(form.Add_BT, Qt::Key_F12, a.modifiers);
        QCOMPARE(hotel.dialogs.messages.size(), 1);
        const ScriptedDialogs::Shown decoy = hotel.dialogs.messages.first();
        QCOMPARE(decoy.text, QStringLiteral("文件不存在，请重新选择！"));
        QCOMPARE(decoy.caption, QStringLiteral("提示"));
        QCOMPARE(decoy.icon, MsgIcon::Warning);
        QCOMPARE(decoy.buttons, MsgButtons::OkCancel);
        QCOMPARE(hotel.dialogs.inputBoxes.size(), a.inputBoxes);
        if (a.inputBoxes)
            QCOMPARE(hotel.dialogs.inputBoxes.first(),
                     qMakePair(QStringLiteral("验证 "), QStringLiteral("请输入验证码:")));
        QCOMPARE(rowCount(form.Language1, "Sample_Form"), a.rows);
    }
    QTest::keyClick(form.Add_BT, Qt::Key_F12, Qt::ControlModifier);
    QTest::keyClick(form.Add_BT, Qt::Key_F11, ctrlAlt);
    QCOMPARE(hotel.dialogs.messages.size(), 1); // neither is the capture key

    // Capturing again asks before it rebuilds.
    hotel.dialogs.messages.clear();
    hotel.dialogs.answers = {MsgResult::Ok, MsgResult::Cancel};
    hotel.dialogs.inputs = {QStringLiteral("qarvo")};
    QTest::keyClick(form.Kind_CB, Qt::Key_F12, ctrlAlt);
    QCOMPARE(hotel.dialogs.texts().last(), QStringLiteral("Language exist,rebuild?"));
    QCOMPARE(hotel.dialogs.messages.last().caption, QStringLiteral("Info"));

    // The issue log words its boxes with its own dialog texts 13 and 14.
    SampleForm log(QStringLiteral("MC_R_From"));
    log.show();
    hotel.dialogs.messages.clear();
    hotel.dialogs.inputBoxes.clear();
    hotel.dialogs.answers = {MsgResult::Ok};
    hotel.dialogs.inputs = {QStringLiteral("qarvo")};
    QTest::keyClick(log.Add_BT, Qt::Key_F12, ctrlAlt);
    const QString text13 = BuiltInDialogText("MC_R_From", 13);
    const QString text14 = BuiltInDialogText("MC_R_From", 14);
    QCOMPARE(hotel.dialogs.messages.first().text, text13);
    QCOMPARE(hotel.dialogs.messages.first().caption, text13);
    QCOMPARE(hotel.dialogs.inputBoxes.first(), qMakePair(text14, text14));
    QCOMPARE(rowCount(log.Language1, "MC_R_From"), 8);

    // The main window answers the same key the same way.
    TMainForm main;
    hotel.dialogs.messages.clear();
    hotel.dialogs.answers = {MsgResult::Ok};
    hotel.dialogs.inputs = {QStringLiteral("qarvo")};
    QTest::keyClick(&main, Qt::Key_F12, ctrlAlt);
    QCOMPARE(hotel.dialogs.texts(), QStringList{"文件不存在，请重新选择！"});
    const QList<Row> rows = componentRows(main.Language1, "MainForm");
    QVERIFY(names(rows).contains("Refresh_Bt"));
    QCOMPARE(names(rows).last(), QStringLiteral("MainForm"));
}

void TestLanguage::everyDialogTextInUseHasAWording()
{
    // Every literal dialog text or title number a form's code asks for, found in the sources;
    // the form is the one its designer file beside the code names. A form base shared by
    // several forms (it renames the form after the setup) is not checked here: which of its
    // forms asks for which text is told by the code of each form.
    static const QRegularExpression call(
        QStringLiteral("GetDialog(Text|Title)\\s*\\(\\s*(\\d+)\\s*\\)"));
    static const QRegularExpression formName(
        QStringLiteral("<widget class=\"\\w+\" name=\"(\\w+)\""));
    const QString root = QStringLiteral(QUENMAR_SOURCE_DIR);
    int checked = 0;
    for (const char *folder : {"app", "stays", "staffcards", "setup", "operators", "cards"}) {
        QDirIterator it(root + '/' + folder, {"*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile source(path);
            QVERIFY(source.open(QIODevice::ReadOnly));
            const QString code = QString::fromUtf8(source.readAll());
            auto calls = call.globalMatch(code);
            if (!calls.hasNext())
                continue;
            static const QRegularExpression renames(
                QStringLiteral("setupUi\\(this\\);\\s*setObjectName\\("));
            if (renames.match(code).hasMatch())
                continue;
            QFile ui(path.chopped(4) + ".ui");
            QVERIFY2(ui.open(QIODevice::ReadOnly), qPrintable(path + ": no designer file"));
            const QString form = formName.match(QString::fromUtf8(ui.readAll())).captured(1);
            QVERIFY(!form.isEmpty());
            while (calls.hasNext()) {
                const QRegularExpressionMatch m = calls.next();
                const int number = m.captured(2).toInt();
                const QString text = m.captured(1) == "Text" ? BuiltInDialogText(form, number)
                                                             : BuiltInDialogTitle(form, number);
                QVERIFY2(!text.trimmed().isEmpty(),
                         qPrintable(QStringLiteral("%1: dialog %2 %3 of %4 is empty")
                                        .arg(path, m.captured(1).toLower())
                                        .arg(number)
                                        .arg(form)));
                ++checked;
            }
        }
    }
    QVERIFY(checked > 0);
    // One wording per form and number: a second entry would silently replace the first.
    QList<QPair<QString, int>> keys = BuiltInDialogTextKeys();
    std::sort(keys.begin(), keys.end());
    const auto twice = std::adjacent_find(keys.begin(), keys.end());
    QVERIFY2(twice == keys.end(),
             qPrintable(twice == keys.end() ? QString()
                                            : twice->first + ' ' + QString::number(twice->second)));
    for (const char *form : {"MC_R_From", "OpenDoorRecord_Form"})
        for (int number : {13, 14})
            QVERIFY(!BuiltInDialogText(form, number).isEmpty());

    // Numbers the main window computes: its refresh caption and the two "all" entries.
    TestHotel hotel;
    hotel.logOnAdministrator();
    TMainForm main;
    QVERIFY(!main.Refresh_Bt->text().isEmpty());
    QCOMPARE(main.BuildingFilter_CB->itemText(main.BuildingFilter_CB->count() - 1),
             QStringLiteral("All buildings"));
    QCOMPARE(main.FloorFilter_CB->itemText(main.FloorFilter_CB->count() - 1),
             QStringLiteral("All floors"));
}

QUENMAR_TEST_MAIN(TestLanguage)
#include "test_language.moc"
