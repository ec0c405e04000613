// The walk through the interface: every form the main window opens (and the logon dialog, the
// main window with its menus, tool buttons and the board's pop-up, and the messages shown on
// the way) made once in English and once in Simplified Chinese with the shipped translation in
// the catalogue. In Chinese no text may be empty or still the English one where the shipped
// file translates it, and every caption must fit its control at the form's size; in English
// every text is the program's own, with nothing of the translation in it.
#include "app/application.h"
#include "app/encoder.h"
#include "app/logonform.h"
#include "app/mainform.h"
#include "data/settings.h"
#include "language/catalogue.h"
#include "language/language.h"
#include "language/translator.h"
#include "language/tsfile.h"
#include "support/testhotel.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kShipped =
    QStringLiteral(QUENMAR_SOURCE_DIR "/language/translations/quenmar_zh_CN.ts");

// A caption as shown: without the mnemonic marks.
QString shownText(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove('&');
    text.replace('\x01', '&');
    return text;
}

// Shown when its form is: neither it nor a parent hidden, except the pages a stack hides.
bool shownOnForm(QWidget *w, QWidget *form)
{
    if (w->window() != form)
        return false;
    for (QWidget *p = w; p && p != form; p = p->parentWidget())
        if (p->isHidden() && !qobject_cast<QStackedWidget *>(p->parentWidget()))
            return false;
    return true;
}

// The width a caption needs in its control, or 0 for controls not checked.
int neededWidth(QWidget *w, const QString &text)
{
    const int textWidth = w->fontMetrics().horizontalAdvance(shownText(text));
    QStyle *style = w->style();
    if (qobject_cast<QCheckBox *>(w))
        return textWidth + style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    if (qobject_cast<QRadioButton *>(w))
        return textWidth + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    if (auto *button = qobject_cast<QPushButton *>(w))
        return textWidth + (button->icon().isNull() ? 0 : button->iconSize().width() + 4) + 4;
    if (auto *tool = qobject_cast<QToolButton *>(w)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            return 0;
        const bool beside =
            tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon && !tool->icon().isNull();
        return textWidth + (beside ? tool->iconSize().width() + 4 : 0) + 4;
    }
    return 0;
}

class Walk
{
public:
    QMap<QString, QString> texts; // "form/widget/what" -> the text shown
    QStringList unfit;
    int fitChecked = 0;

    // Where pictures of the forms go (QUENMAR_SCREENSHOTS); none when empty.
    QString shots;

    void add(const QString &key, const QString &text) { texts.insert(key, text); }

    void picture(QWidget *form, const QString &name)
    {
        if (shots.isEmpty())
            return;
        QString file = name;
        file.replace(':', '-');
        form->grab().save(shots + '/' + file + ".png");
    }

    void collect(QWidget *form, const QString &name)
    {
        picture(form, name);
        add(name + "/windowTitle", form->windowTitle());
        const QList<QWidget *> widgets = form->findChildren<QWidget *>();
        for (QWidget *w : widgets) {
            const QString object = w->objectName();
            if (object.isEmpty() || object.startsWith(QLatin1String("qt_")) ||
                !shownOnForm(w, form))
                continue;
            const QString key = name + '/' + object;
            if (auto *label = qobject_cast<QLabel *>(w)) {
                add(key + "/text", label->text());
                checkLabel(label, key);
            } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
                add(key + "/text", button->text());
                checkWidth(w, key, button->text());
            }
            if (auto *group = qobject_cast<QGroupBox *>(w))
                add(key + "/title", group->title());
            if (auto *tabs = qobject_cast<QTabWidget *>(w))
                for (int i = 0; i < tabs->count(); ++i)
                    add(key + "/tab" + QString::number(i), tabs->tabText(i));
            if (auto *edit = qobject_cast<QLineEdit *>(w);
                edit && !edit->placeholderText().isEmpty())
                add(key + "/placeholder", edit->placeholderText());
            if (auto *box = qobject_cast<QComboBox *>(w))
                for (int i = 0; i < box->count(); ++i)
                    add(key + "/item" + QString::number(i), box->itemText(i));
            if (auto *view = qobject_cast<QAbstractItemView *>(w); view && view->model()) {
                auto *table = qobject_cast<QTableView *>(w);
                if (!table || !table->horizontalHeader()->isHidden())
                    for (int c = 0; c < view->model()->columnCount(); ++c)
                        add(key + "/column" + QString::number(c),
                            view->model()->headerData(c, Qt::Horizontal).toString());
            }
        }
        for (QAction *a : form->findChildren<QAction *>()) {
            if (a->isSeparator() || a->objectName().isEmpty() ||
                a->objectName().startsWith(QLatin1String("qt_")))
                continue;
            add(name + '/' + a->objectName() + "/text", a->text());
        }
    }

private:
    void checkLabel(QLabel *label, const QString &key)
    {
        const QString text = label->text();
        if (!label->isVisible() || text.isEmpty() || label->textFormat() == Qt::RichText ||
            Qt::mightBeRichText(text) || !label->pixmap().isNull())
            return;
        ++fitChecked;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                          -label->margin(), -label->margin());
        const QRect needed = label->fontMetrics().boundingRect(
            room, (label->wordWrap() ? Qt::TextWordWrap : 0) | label->alignment(), text);
        if (needed.width() > room.width() || needed.height() > room.height())
            unfit.append(QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                             .arg(key, text)
                             .arg(needed.width())
                             .arg(needed.height())
                             .arg(room.width())
                             .arg(room.height()));
    }

    void checkWidth(QWidget *w, const QString &key, const QString &text)
    {
        if (!w->isVisible() || text.isEmpty())
            return;
        const int needed = neededWidth(w, text);
        fitChecked += needed > 0;
        if (needed > w->width())
            unfit.append(QStringLiteral("%1 \"%2\" needs %3, has %4")
                             .arg(key, text)
                             .arg(needed)
                             .arg(w->width()));
    }
};

// Opens every form of the program the walk reaches, in one order, and reads what each shows.
Walk walkInterface(TestHotel &hotel, const QString &shots = QString())
{
    Walk walk;
    walk.shots = shots;
    hotel.dialogs.clear();
    {
        TLogonForm logon;
        logon.show();
        walk.collect(&logon, "LogonForm");
    }
    TMainForm main;
    main.show();
    QApplication::setActiveWindow(&main);
    if (!QTest::qWaitForWindowExposed(&main))
        qWarning("the main window was not shown");
    walk.collect(&main, "MainForm");
    if (!shots.isEmpty()) {
        // The main window with its first menu open, as the screen shows both.
        main.resize(1100, 700);
        QMenu *menu = main.menuBar()->actions().first()->menu();
        menu->popup(main.mapToGlobal(
            main.menuBar()->actionGeometry(main.menuBar()->actions().first()).bottomLeft() +
            main.menuBar()->pos()));
        QTest::qWait(300);
        QApplication::primaryScreen()
            ->grabWindow(0, main.geometry().x(), main.geometry().y(), main.frameGeometry().width(),
                         main.frameGeometry().height())
            .save(shots + "/MainForm-menu.png");
        menu->hide();
    }

    const QStringList noForm = {"OperatingInstruction_Menu", "TroubleShooting_Menu",
                                "DataBackup_Menu", "DataRecovery_Menu"};
    for (QAction *menu : main.menuBar()->actions()) {
        for (QAction *a : menu->menu()->actions()) {
            if (a->isSeparator() || !a->isEnabled() || noForm.contains(a->objectName()))
                continue;
            // Each form is read while it is open, at its own size, then closed.
            QString opened;
            QTimer timer;
            timer.setInterval(5);
            QObject::connect(&timer, &QTimer::timeout, [&] {
                QWidget *modal = QApplication::activeModalWidget();
                if (!modal || !opened.isEmpty())
                    return;
                opened = a->objectName() + ':' + modal->objectName();
                walk.collect(modal, opened);
                if (auto *dialog = qobject_cast<QDialog *>(modal))
                    dialog->reject();
                else
                    modal->close();
            });
            timer.start();
            a->trigger();
            if (opened.isEmpty())
                qWarning("%s opened no form", qPrintable(a->objectName()));
        }
    }
    for (int i = 0; i < hotel.dialogs.messages.size(); ++i) {
        walk.add(QStringLiteral("message%1/text").arg(i), hotel.dialogs.messages[i].text);
        walk.add(QStringLiteral("message%1/caption").arg(i), hotel.dialogs.messages[i].caption);
    }
    return walk;
}

} // namespace

class TestInterface : public QObject
{
    Q_OBJECT
private slots:
    void everyFormInChineseAndInEnglish();
};

void TestInterface::everyFormInChineseAndInEnglish()
{
    {
        // The measure itself: a caption wider than its button is found.
        QDialog form;
        auto *button = new QPushButton(QStringLiteral("确定入住并发卡(&Y)"), &form);
        button->setObjectName("Narrow_Bt");
        button->setGeometry(0, 0, 40, 24);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Walk probe;
        probe.collect(&form, "Probe");
        QCOMPARE(probe.unfit.size(), 1);
    }
    TestHotel hotel;
    hotel.logOnAdministrator();
    hotel.installMessageLibrary();
    const QString shipped = kShipped;
    QString error;
    QVERIFY2(ImportTranslationFile(TLanguage::CatalogPath(), shipped, 0, &error),
             qPrintable(error));
    TsFile file;
    QVERIFY(ReadTsFile(shipped, file, &error));
    QSet<QString> translatedSources, sources, translations;
    for (const TsMessage &m : file.messages) {
        sources.insert(m.source);
        if (!m.translation.isEmpty() && m.translation != m.source) {
            translatedSources.insert(m.source);
            translations.insert(m.translation);
        }
    }

    LockSystemInfo.LanguageID = 1033;
    InstallInterfaceLanguage(1033);
    const Walk english = walkInterface(hotel);

    LockSystemInfo.LanguageID = 2052;
    const auto back = qScopeGuard([] {
        LockSystemInfo.LanguageID = 1033;
        InstallInterfaceLanguage(1033);
    });
    QVERIFY(InstallInterfaceLanguage(2052) > 0);
    // QUENMAR_SCREENSHOTS=folder keeps a picture of every form in Chinese (run the test on a
    // screen: xvfb-run test_interface -platform xcb).
    const Walk chinese = walkInterface(hotel, qEnvironmentVariable("QUENMAR_SCREENSHOTS"));

    QStringList problems;
    for (auto it = english.texts.begin(); it != english.texts.end(); ++it) {
        const QString &e = it.value();
        if (translations.contains(e) && !sources.contains(e))
            problems.append(
                QStringLiteral("1033: %1 shows the translation \"%2\"").arg(it.key(), e));
        if (!chinese.texts.contains(it.key())) {
            problems.append(
                QStringLiteral("2052: %1 is not shown (\"%2\" in English)").arg(it.key(), e));
            continue;
        }
        const QString c = chinese.texts.value(it.key());
        if (!e.isEmpty() && c.isEmpty())
            problems.append(
                QStringLiteral("2052: %1 is empty (\"%2\" in English)").arg(it.key(), e));
        else if (!e.isEmpty() && c == e && translatedSources.contains(e))
            problems.append(QStringLiteral("2052: %1 is still \"%2\"").arg(it.key(), e));
    }
    for (const QString &line : chinese.unfit)
        problems.append(QStringLiteral("2052 does not fit: ") + line);
    for (const QString &line : english.unfit)
        qInfo("1033 does not fit: %s", qPrintable(line));
    qInfo("walked %lld texts on %lld forms", static_cast<long long>(english.texts.size()),
          static_cast<long long>(
              std::count_if(english.texts.keyBegin(), english.texts.keyEnd(),
                            [](const QString &k) { return k.endsWith("/windowTitle"); })));
    qInfo("checked the fit of %d captions", chinese.fitChecked);
    QVERIFY(chinese.fitChecked > 100);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

QUENMAR_TEST_MAIN(TestInterface)
#include "test_interface.moc"
