// Translations in the language catalogue: Qt Linguist files in and out, the quenmar-language
// tool run as a process, the shipped files imported at start, the language chosen on the
// settings form and the translated texts on the forms made afterwards.
#include "app/application.h"
#include "app/mainform.h"
#include "app/systeminfoform.h"
#include "data/dataset.h"
#include "data/inifile.h"
#include "data/rights.h"
#include "data/settings.h"
#include "data/sqltext.h"
#include "language/catalogue.h"
#include "language/language.h"
#include "language/translator.h"
#include "language/tsfile.h"
#include "operators/operatorform.h"
#include "support/testhotel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QToolButton>

namespace {

const QString kFixture = QStringLiteral(QUENMAR_SOURCE_DIR "/tests/data/quenmar_fixture_zh_CN.ts");

struct Run
{
    int status;
    QString out, err;
};

Run runTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(QUENMAR_STAGE_DIR "/quenmar-language"), arguments);
    if (!tool.waitForFinished(120000))
        qFatal("quenmar-language did not finish");
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromUtf8(tool.readAllStandardOutput()),
            QString::fromUtf8(tool.readAllStandardError())};
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Ends the language of a test: English again, nothing installed.
auto englishAfterwards()
{
    return qScopeGuard([] {
        LockSystemInfo.LanguageID = 1033;
        InstallInterfaceLanguage(1033);
    });
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void translationFilesReadAndWriteBack();
    void damagedFilesAreRefusedWithTheirReason();
    void toolExportThenImportOfAnEditedFile();
    void toolFailuresExitWithTheReason_data();
    void toolFailuresExitWithTheReason();
    void shippedFilesAreImportedWhenNewOrChanged();
    void settingsFormOffersTheCatalogueLanguages();
    void capturedTextsWinOverTextsTheFormSetsItself();
    void helpDocumentsOfTheLanguage();
};

void TestTranslations::translationFilesReadAndWriteBack()
{
    TsFile file;
    QString error;
    QVERIFY2(ReadTsFile(kFixture, file, &error), qPrintable(error));
    QCOMPARE(file.language, QStringLiteral("zh_CN"));
    QCOMPARE(file.sourceLanguage, QStringLiteral("en_US"));
    QStringList sources;
    for (const TsMessage &m : file.messages)
        sources.append(m.context + '/' + m.source);
    // The vanished message is gone; escapes and the line break are read as text.
    QCOMPARE(sources, (QStringList{"SystemInfo_Form/Parameter setting",
                                   "SystemInfo_Form/Hotel name:", "SystemInfo_Form/Save(&S)",
                                   "SystemInfo_Form/Close(&C)", "MainForm/Refresh", "MainForm/Open",
                                   "MainForm/Rooms <all> & \"more\"\nsecond line"}));
    QVERIFY(file.messages[3].unfinished && file.messages[3].translation.isEmpty());
    QVERIFY(!file.messages[0].unfinished);
    QCOMPARE(file.messages[5].comment, QStringLiteral("door"));
    QCOMPARE(file.messages[6].translation, QStringLiteral("全部<房间> & “更多”\n第二行"));

    QTemporaryDir dir;
    const QString copy = dir.filePath("copy.ts");
    QVERIFY2(WriteTsFile(copy, file, &error), qPrintable(error));
    TsFile back;
    QVERIFY2(ReadTsFile(copy, back, &error), qPrintable(error));
    QCOMPARE(back.language, file.language);
    QVERIFY(back.messages == file.messages);
    QFile written(copy);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    QVERIFY(text.contains("<!DOCTYPE TS>"));
    QVERIFY(text.contains("<TS version=\"2.1\" language=\"zh_CN\" sourcelanguage=\"en_US\">"));
    QVERIFY(text.contains("<translation type=\"unfinished\"></translation>"));
    QVERIFY2(
        text.contains("<source>Rooms &lt;all&gt; &amp; &quot;more&quot;\nsecond line</source>"),
        text.constData());
}

void TestTranslations::damagedFilesAreRefusedWithTheirReason()
{
    QTemporaryDir dir;
    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *reason;
    } cases[] = {
        {"cut.ts", "<TS version=\"2.1\" language=\"zh_CN\"><context><name>A</name><message>",
         "line 1"},
        {"other.ts", "<html><body/></html>", "no translation file"},
        {"empty.ts", "", "no translation file"},
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(c.name);
        writeFile(path, c.bytes);
        TsFile file;
        QString error;
        QVERIFY2(!ReadTsFile(path, file, &error), c.name);
        QVERIFY2(error.contains(path) && error.contains(c.reason), qPrintable(error));
        QVERIFY(file.messages.isEmpty());
    }
    QString error;
    TsFile file;
    QVERIFY(!ReadTsFile(dir.filePath("missing.ts"), file, &error));
    QVERIFY(error.contains("missing.ts"));
    QVERIFY(!WriteTsFile(dir.filePath("no/folder/out.ts"), file, &error));
    QVERIFY(error.contains("no/folder/out.ts"));
}

void TestTranslations::toolExportThenImportOfAnEditedFile()
{
    TestHotel hotel;
    const auto english = englishAfterwards();
    const QString catalogue = hotel.dir() + "/DB/Language.mdb";
    Run run = runTool({"import", "--input", kFixture, "--catalogue", catalogue});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains("Imported 7 texts"), qPrintable(run.out));

    const QString exported = hotel.dir() + "/exported.ts";
    run = runTool({"export", "--language", "2052", "--output", exported, "--catalogue", catalogue});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    TsFile fixture, file;
    QString error;
    QVERIFY(ReadTsFile(kFixture, fixture, &error));
    QVERIFY2(ReadTsFile(exported, file, &error), qPrintable(error));
    QCOMPARE(file.language, QStringLiteral("zh_CN"));
    QVERIFY(file.messages == fixture.messages);

    // The hotel's translator changes one text and fills the unfinished one.
    for (TsMessage &m : file.messages) {
        if (m.source == QLatin1String("Hotel name:"))
            m.translation = QStringLiteral("宾馆名称:");
        if (m.source == QLatin1String("Close(&C)")) {
            m.translation = QStringLiteral("关闭(&C)");
            m.unfinished = false;
        }
    }
    QVERIFY(WriteTsFile(exported, file, &error));
    run = runTool({"import", "--input", exported, "--catalogue", catalogue});
    QVERIFY2(run.status == 0, qPrintable(run.err));

    // A form made afterwards in 2052 shows the new texts, the others as they were.
    LockSystemInfo.LanguageID = 2052;
    QCOMPARE(InstallInterfaceLanguage(2052), 7);
    {
        TSystemInfo_Form form;
        QCOMPARE(form.windowTitle(), QStringLiteral("参数设置"));
        QCOMPARE(child<QLabel>(&form, "HotelName_Label")->text(), QStringLiteral("宾馆名称:"));
        QCOMPARE(child<QPushButton>(&form, "Save_Bt")->text(), QStringLiteral("保存(&S)"));
        QCOMPARE(child<QPushButton>(&form, "Close_Bt")->text(), QStringLiteral("关闭(&C)"));
        // A text the file does not translate stays English.
        QCOMPARE(child<QLabel>(&form, "DayCount_Label")->text(),
                 QStringLiteral("Default stay days:"));
        // Qt's own texts and the locale follow the language.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
        QCOMPARE(QLocale().name(), QStringLiteral("zh_CN"));
    }
    // The built-in dialog texts are translated under the form's name; a disambiguated text
    // finds its own translation.
    QWidget main;
    main.setObjectName("MainForm");
    TLanguage language(&main);
    QCOMPARE(language.GetDialogText(8), QStringLiteral("刷新"));
    QCOMPARE(language.GetDialogText(9), QStringLiteral("All buildings"));
    QCOMPARE(QCoreApplication::translate("MainForm", "Open", "door"), QStringLiteral("开门"));
    QCOMPARE(QCoreApplication::translate("MainForm", "Open"), QStringLiteral("Open"));

    // In English nothing is translated.
    LockSystemInfo.LanguageID = 1033;
    QCOMPARE(InstallInterfaceLanguage(1033), 0);
    TSystemInfo_Form form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Parameter setting"));
    QCOMPARE(language.GetDialogText(8), QStringLiteral("Refresh"));

    // A new language's template: every text once, each unfinished and empty.
    const QString japanese = hotel.dir() + "/ja.ts";
    run = runTool({"export", "--language", "1041", "--output", japanese, "--catalogue", catalogue});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QVERIFY(ReadTsFile(japanese, file, &error));
    QCOMPARE(file.language, QStringLiteral("ja_JP"));
    QCOMPARE(file.messages.size(), fixture.messages.size());
    for (int i = 0; i < file.messages.size(); ++i) {
        QCOMPARE(file.messages[i].source, fixture.messages[i].source);
        QCOMPARE(file.messages[i].comment, fixture.messages[i].comment);
        QVERIFY(file.messages[i].unfinished && file.messages[i].translation.isEmpty());
    }
    // Imported under an id of the operator's choosing, it is a language of the catalogue.
    run = runTool({"import", "--input", japanese, "--language", "1041", "--catalogue", catalogue});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(language.GetLanguageList(), (QStringList{"1041", "2052"}));
}

void TestTranslations::toolFailuresExitWithTheReason_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    const QString missing = QDir::tempPath() + "/no-such-folder-q25/in.ts";
    QTest::newRow("no command") << QStringList{} << "no command";
    QTest::newRow("unknown command") << QStringList{"convert"} << "unknown command 'convert'";
    QTest::newRow("unknown option") << QStringList{"import", "--file", kFixture} << "--file";
    QTest::newRow("option without value")
        << QStringList{"import", "--language", "--input", kFixture} << "--language needs";
    QTest::newRow("export without language")
        << QStringList{"export", "--output", "x.ts"} << "needs --language";
    QTest::newRow("language no number")
        << QStringList{"export", "--language", "zh", "--output", "x.ts"} << "'zh' is no language";
    QTest::newRow("unknown language")
        << QStringList{"export", "--language", "9999", "--output", "x.ts"} << "9999";
    QTest::newRow("missing input") << QStringList{"import", "--input", missing} << missing;
    QTest::newRow("english") << QStringList{"import", "--input", kFixture, "--language", "1033"}
                             << "English (1033)";
}

void TestTranslations::toolFailuresExitWithTheReason()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    // The catalogue of a folder of its own, so that no failure touches the program folder's.
    const QStringList catalogue{"--catalogue", dir.filePath("DB/Language.mdb")};
    const Run run = runTool(arguments.isEmpty() ? arguments : arguments + catalogue);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

void TestTranslations::shippedFilesAreImportedWhenNewOrChanged()
{
    TestHotel hotel;
    const QString folder = hotel.dir() + "/Languages";
    QVERIFY(QDir().mkpath(folder));
    const QString shipped = folder + "/quenmar_zh_CN.ts";
    QVERIFY(QFile::copy(kFixture, shipped));
    writeFile(folder + "/quenmar_xx.ts", "<TS version=\"2.1\" language=\"xx\"></TS>");
    const QString catalogue = TLanguage::CatalogPath();
    auto translationOf = [&](const QString &source) {
        QWidget w;
        TLanguage language(&w);
        Query q(language.connection());
        q.Add("Select Translation From Translation_Table where LanguageID=2052 and Source=" +
              QuotedStr(source));
        q.Open();
        return q.IsEmpty() ? QString() : q.AsString("Translation");
    };

    QStringList failures = ImportShippedTranslations(catalogue, folder);
    QCOMPARE(failures.size(), 1); // the file of an unknown language, with its name
    QVERIFY2(failures[0].contains("quenmar_xx.ts") && failures[0].contains("'xx'"),
             qPrintable(failures[0]));
    QCOMPARE(translationOf("Hotel name:"), QStringLiteral("酒店名称:"));

    // The hotel's own edit survives starts while the shipped file stays the same.
    {
        QWidget w;
        TLanguage language(&w);
        Query q(language.connection());
        q.Add("Update Translation_Table set Translation='宾馆名称:' where Source='Hotel name:'");
        q.ExecSQL();
    }
    QFile::remove(folder + "/quenmar_xx.ts");
    QVERIFY(ImportShippedTranslations(catalogue, folder).isEmpty());
    QCOMPARE(translationOf("Hotel name:"), QStringLiteral("宾馆名称:"));

    // A changed shipped file (a new release) is imported again.
    QFile f(shipped);
    QVERIFY(f.open(QIODevice::Append));
    f.write("\n");
    f.close();
    QVERIFY(ImportShippedTranslations(catalogue, folder).isEmpty());
    QCOMPARE(translationOf("Hotel name:"), QStringLiteral("酒店名称:"));

    // A translation imported with the tool takes the shipped file's digest, so the next start
    // leaves it.
    TsFile file;
    QString error;
    QVERIFY(ReadTsFile(shipped, file, &error));
    file.messages[1].translation = QStringLiteral("旅馆名称:");
    QVERIFY(WriteTsFile(hotel.dir() + "/own.ts", file, &error));
    QFile::remove(catalogue);
    QVERIFY2(ImportTranslationFile(catalogue, hotel.dir() + "/own.ts", 0, &error),
             qPrintable(error));
    QVERIFY(ImportShippedTranslations(catalogue, folder).isEmpty());
    QCOMPARE(translationOf("Hotel name:"), QStringLiteral("旅馆名称:"));
}

void TestTranslations::settingsFormOffersTheCatalogueLanguages()
{
    TestHotel hotel;
    hotel.writeIni("[SystemInfo]\nHotelName=Seaside\n");
    ReadSystemInfo(LockSystemInfo);
    {
        TSystemInfo_Form form;
        auto *box = child<QComboBox>(&form, "Language_CB");
        QCOMPARE(box->count(), 1);
        QCOMPARE(box->currentText(), QStringLiteral("English"));
    }
    QString error;
    QVERIFY(ImportTranslationFile(TLanguage::CatalogPath(), kFixture, 0, &error));
    TSystemInfo_Form form;
    auto *box = child<QComboBox>(&form, "Language_CB");
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(1), QStringLiteral("简体中文"));
    QCOMPARE(box->currentIndex(), 0);
    box->setCurrentIndex(1);
    child<QPushButton>(&form, "Save_Bt")->click();
    QCOMPARE(hotel.dialogs.texts().last(), QStringLiteral("Please restart the software!"));
    QCOMPARE(IniFile(SettingsFilePath()).ReadInteger("SystemInfo", "LanguageID", 0), 2052);
    QCOMPARE(LockSystemInfo.LanguageID, 2052);
    LockSystemInfo.LanguageID = 1033;
}

// Widgets a form makes after its texts were loaded (the main window's refresh button, the
// operator form's rights boxes) take their captured texts too.
void TestTranslations::capturedTextsWinOverTextsTheFormSetsItself()
{
    TestHotel hotel;
    hotel.logOnAdministrator();
    {
        QWidget w;
        TLanguage language(&w);
        for (const auto &[form, component, text] :
             {std::tuple<const char *, const char *, const char *>{"MainForm", "Refresh_Bt",
                                                                   "Reload"},
              {"Operator_Form", OperatorRights().front().checkBox, "May check in"}}) {
            Query q(language.connection());
            q.Add(QStringLiteral("insert into Component_Table (AppName, FormName, ComponentName, "
                                 "LanguageID, ComponentClass, ComponentProperty) values "
                                 "('Orvane', %1, %2, 1033, 'X', %3)")
                      .arg(QuotedStr(form), QuotedStr(component),
                           QuotedStr(QStringLiteral("text:") + text)));
            q.ExecSQL();
        }
    }
    TMainForm main;
    QCOMPARE(main.Refresh_Bt->text(), QStringLiteral("Reload"));
    TOperator_Form form;
    QCOMPARE(child<QCheckBox>(&form, OperatorRights().front().checkBox)->text(),
             QStringLiteral("May check in"));
    QCOMPARE(child<QCheckBox>(&form, OperatorRights()[1].checkBox)->text(),
             QString::fromLatin1(OperatorRights()[1].caption));
}

void TestTranslations::helpDocumentsOfTheLanguage()
{
    TestHotel hotel(false);
    const auto english = qScopeGuard([] { LockSystemInfo.LanguageID = 1033; });
    writeFile(hotel.dir() + "/Manual.htm", "<html/>");
    writeFile(hotel.dir() + "/Manual.2052.htm", "<html/>");
    LockSystemInfo.LanguageID = 2052;
    QCOMPARE(HelpDocumentPath("Manual.htm"), hotel.dir() + "/Manual.2052.htm");
    QCOMPARE(HelpDocumentPath("Operating.htm"), hotel.dir() + "/Operating.htm");
    LockSystemInfo.LanguageID = 1033;
    QCOMPARE(HelpDocumentPath("Manual.htm"), hotel.dir() + "/Manual.htm");
}

QUENMAR_TEST_MAIN(TestTranslations)
#include "test_translations.moc"
