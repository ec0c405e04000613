#include "propertytext.h"

#include <QAbstractItemModel>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QTreeView>

namespace {

const QString kItems = QStringLiteral("items");
const QString kColumns = QStringLiteral("columns");
const QString kTabs = QStringLiteral("tabs");

// The QString properties that carry what a form shows rather than what a person typed.
bool isCaptionName(const char *name)
{
    static const char *const names[] = {
        "objectName",
        "windowTitle",
        "windowIconText",
        "iconText",
        "text",
        "title",
        "toolTip",
        "statusTip",
        "whatsThis",
        "accessibleName",
        "accessibleDescription",
        "placeholderText",
        "specialValueText",
        "prefix",
        "suffix",
        "description",
    };
    for (const char *n : names)
        if (qstrcmp(n, name) == 0)
            return true;
    return false;
}

// Fields a person types into: their "text" is content, not a caption.
bool isInputField(const QObject *object)
{
    return qobject_cast<const QLineEdit *>(object) ||
           qobject_cast<const QAbstractSpinBox *>(object) ||
           qobject_cast<const QTextEdit *>(object) ||
           qobject_cast<const QPlainTextEdit *>(object) || qobject_cast<const QComboBox *>(object);
}

bool isCaptionProperty(const QObject *object, const QMetaProperty &property)
{
    if (property.metaType().id() != QMetaType::QString || !property.isReadable() ||
        !property.isWritable() || !isCaptionName(property.name()))
        return false;
    return !(qstrcmp(property.name(), "text") == 0 && isInputField(object));
}

// The model of a view whose column titles are kept, or null.
QAbstractItemModel *columnModel(QObject *object)
{
    if (!qobject_cast<QTableView *>(object) && !qobject_cast<QTreeView *>(object))
        return nullptr;
    return static_cast<QAbstractItemView *>(object)->model();
}

// The texts of an object's list (combo box or list widget items); false when it has none.
bool listTexts(QObject *object, QStringList *texts)
{
    if (auto *combo = qobject_cast<QComboBox *>(object)) {
        for (int i = 0; i < combo->count(); ++i)
            texts->append(combo->itemText(i));
        return true;
    }
    if (auto *list = qobject_cast<QListWidget *>(object)) {
        for (int i = 0; i < list->count(); ++i)
            texts->append(list->item(i)->text());
        return true;
    }
    return false;
}

// The texts of an object's collection (column titles, tab texts) and the line's name.
bool collectionTexts(QObject *object, QString *name, QStringList *texts)
{
    if (QAbstractItemModel *model = columnModel(object)) {
        *name = kColumns;
        for (int i = 0; i < model->columnCount(); ++i)
            texts->append(model->headerData(i, Qt::Horizontal).toString());
        return true;
    }
    if (auto *tabs = qobject_cast<QTabWidget *>(object)) {
        *name = kTabs;
        for (int i = 0; i < tabs->count(); ++i)
            texts->append(tabs->tabText(i));
        return true;
    }
    return false;
}

QString listItemLine(int index, const QString &text)
{
    return QString(10, ' ') + QString::number(index) + ':' + EscapePropertyValue(text);
}

QString collectionItemLine(int index, const QString &text)
{
    return QStringLiteral("   ") + QString::number(index) + ':' + EscapePropertyValue(text);
}

// Item lines are told apart from property lines by their shape: the blanks (ten for a
// list, three for a collection), the index, ":". The item's text is everything after that
// first ":" behind the index, so texts with blanks in front or ":" inside come back as
// they were captured.
struct ItemLine
{
    int index;
    QString text;
};

QList<ItemLine> readItemBlock(const QStringList &lines, qsizetype *pos, int blanks)
{
    static const QRegularExpression listShape(QStringLiteral("^ {10}(\\d+):"));
    static const QRegularExpression collectionShape(QStringLiteral("^ {3}(\\d+):"));
    const QRegularExpression &shape = blanks == 10 ? listShape : collectionShape;
    QList<ItemLine> items;
    while (*pos + 1 < lines.size()) {
        const QString &line = lines.at(*pos + 1);
        const QRegularExpressionMatch m = shape.match(line);
        if (!m.hasMatch())
            break;
        items.append({m.captured(1).toInt(), UnescapePropertyValue(line.mid(m.capturedEnd()))});
        ++*pos;
    }
    return items;
}

// A list is replaced only by a block that names every item it has, in order: a list that
// has changed since the capture keeps its own texts.
void applyList(QObject *object, const QList<ItemLine> &items)
{
    QStringList current;
    if (!listTexts(object, &current) || items.size() != current.size())
        return;
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items[i].index != i)
            return;
    if (auto *combo = qobject_cast<QComboBox *>(object)) {
        for (qsizetype i = 0; i < items.size(); ++i)
            combo->setItemText(int(i), items[i].text);
    } else if (auto *list = qobject_cast<QListWidget *>(object)) {
        for (qsizetype i = 0; i < items.size(); ++i)
            list->item(int(i))->setText(items[i].text);
    }
}

// Collection items are applied one by one, as far as the collection has them.
void applyCollection(QObject *object, const QString &name, const QList<ItemLine> &items)
{
    for (const ItemLine &item : items) {
        if (name == kColumns) {
            QAbstractItemModel *model = columnModel(object);
            if (model && item.index < model->columnCount())
                model->setHeaderData(item.index, Qt::Horizontal, item.text);
        } else if (name == kTabs) {
            auto *tabs = qobject_cast<QTabWidget *>(object);
            if (tabs && item.index < tabs->count())
                tabs->setTabText(item.index, item.text);
        }
    }
}

bool isComponent(QObject *object)
{
    const QString name = object->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
        name.startsWith(QLatin1String("_q_")))
        return false;
    // A tab bar's scroll buttons are named by Qt but belong to the tab bar.
    if (qobject_cast<QTabBar *>(object->parent()))
        return false;
    return object->isWidgetType() || qobject_cast<QAction *>(object);
}

void collect(QObject *parent, const QList<QObject *> &skip, QList<QObject *> *out)
{
    for (QObject *child : parent->children()) {
        if (skip.contains(child))
            continue;
        // Another form opened from this one keeps its own texts.
        if (qobject_cast<QDialog *>(child) || qobject_cast<QMainWindow *>(child))
            continue;
        if (isComponent(child))
            out->append(child);
        collect(child, skip, out);
    }
}

} // namespace

QList<QObject *> FormComponents(QWidget *form, const QList<QObject *> &skip)
{
    QList<QObject *> components;
    collect(form, skip, &components);
    return components;
}

QStringList CapturePropertyLines(QObject *object, bool withItems)
{
    QStringList lines;
    const QMetaObject *meta = object->metaObject();
    const bool statusLine = object->property(kStatusLineProperty).toBool();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!isCaptionProperty(object, property))
            continue;
        const bool result = statusLine && qstrcmp(property.name(), "text") == 0;
        lines.append(QString::fromLatin1(property.name()) + ':' +
                     (result ? QString() : EscapePropertyValue(property.read(object).toString())));
    }
    QStringList texts;
    if (listTexts(object, &texts) && !texts.isEmpty()) {
        lines.append(kItems + QStringLiteral(":QStringList"));
        if (withItems)
            for (qsizetype i = 0; i < texts.size(); ++i)
                lines.append(listItemLine(int(i), texts[i]));
    }
    QString name;
    texts.clear();
    if (collectionTexts(object, &name, &texts) && !texts.isEmpty()) {
        lines.append(name + (name == kColumns ? QStringLiteral(":QHeaderView")
                                              : QStringLiteral(":QTabBar")));
        if (withItems)
            for (qsizetype i = 0; i < texts.size(); ++i)
                lines.append(collectionItemLine(int(i), texts[i]));
    }
    return lines;
}

void ApplyPropertyLines(QObject *object, const QStringList &lines, LoadScope scope)
{
    const QMetaObject *meta = object->metaObject();
    for (qsizetype pos = 0; pos < lines.size(); ++pos) {
        const QString &line = lines.at(pos);
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QString name = line.left(colon);
        // The object line of a list or collection carries no value; its item lines follow.
        if (name == kItems) {
            const QList<ItemLine> items = readItemBlock(lines, &pos, 10);
            if (scope == LoadScope::All)
                applyList(object, items);
            continue;
        }
        if (name == kColumns || name == kTabs) {
            applyCollection(object, name, readItemBlock(lines, &pos, 3));
            continue;
        }
        if (scope != LoadScope::All || name.toUpper().contains(QLatin1String("NAME")))
            continue;
        const int index = meta->indexOfProperty(name.toLatin1().constData());
        if (index < 0 || !isCaptionProperty(object, meta->property(index)))
            continue;
        meta->property(index).write(object, UnescapePropertyValue(line.mid(colon + 1)));
    }
}

QString EscapePropertyValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == '\\')
            out += QLatin1String("\\\\");
        else if (c == '\n')
            out += QLatin1String("\\n");
        else if (c == '\r')
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

QString UnescapePropertyValue(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(i + 1);
        if (next == 'n')
            out += '\n';
        else if (next == 'r')
            out += '\r';
        else if (next == '\\')
            out += '\\';
        else {
            out += c; // not one of ours: kept as written
            continue;
        }
        ++i;
    }
    return out;
}
