#include "tsfile.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

// The text of a <translation>: its characters, or for plural forms the first form.
QString readTranslation(QXmlStreamReader &xml)
{
    QString text;
    bool numerus = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::Characters && !numerus)
            text += xml.text();
        else if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("numerusform") && !numerus) {
                numerus = true;
                text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else
                xml.skipCurrentElement();
        } else if (token == QXmlStreamReader::EndElement)
            break;
    }
    return text;
}

void readMessage(QXmlStreamReader &xml, const QString &context, TsFile &file)
{
    TsMessage message;
    message.context = context;
    bool dropped = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("source"))
            message.source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("comment"))
            message.comment = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("translation")) {
            const QStringView type = xml.attributes().value(QLatin1String("type"));
            message.unfinished = type == QLatin1String("unfinished");
            dropped = type == QLatin1String("obsolete") || type == QLatin1String("vanished");
            message.translation = readTranslation(xml);
        } else
            xml.skipCurrentElement();
    }
    if (!dropped && !message.source.isEmpty())
        file.messages.append(message);
}

void readContext(QXmlStreamReader &xml, TsFile &file)
{
    QString name;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("name"))
            name = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("message"))
            readMessage(xml, name, file);
        else
            xml.skipCurrentElement();
    }
}

} // namespace

bool ReadTsFile(const QString &path, TsFile &file, QString *error)
{
    file = TsFile();
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Could not read '%1': %2").arg(path, in.errorString());
        return false;
    }
    QXmlStreamReader xml(&in);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("TS")) {
        if (error)
            *error = QStringLiteral("'%1' is no translation file (its first element is not TS).")
                         .arg(path);
        return false;
    }
    file.language = xml.attributes().value(QLatin1String("language")).toString();
    file.sourceLanguage = xml.attributes().value(QLatin1String("sourcelanguage")).toString();
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("context"))
            readContext(xml, file);
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("'%1', line %2: %3")
                         .arg(path)
                         .arg(xml.lineNumber())
                         .arg(xml.errorString());
        file = TsFile();
        return false;
    }
    return true;
}

bool WriteTsFile(const QString &path, const TsFile &file, QString *error)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Could not write '%1': %2").arg(path, out.errorString());
        return false;
    }
    QStringList contexts;
    for (const TsMessage &m : file.messages)
        if (!contexts.contains(m.context))
            contexts.append(m.context);

    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(4);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE TS>"));
    xml.writeStartElement(QStringLiteral("TS"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
    if (!file.language.isEmpty())
        xml.writeAttribute(QStringLiteral("language"), file.language);
    xml.writeAttribute(QStringLiteral("sourcelanguage"), file.sourceLanguage.isEmpty()
                                                             ? QStringLiteral("en_US")
                                                             : file.sourceLanguage);
    for (const QString &context : contexts) {
        xml.writeStartElement(QStringLiteral("context"));
        xml.writeTextElement(QStringLiteral("name"), context);
        for (const TsMessage &m : file.messages) {
            if (m.context != context)
                continue;
            xml.writeStartElement(QStringLiteral("message"));
            xml.writeTextElement(QStringLiteral("source"), m.source);
            if (!m.comment.isEmpty())
                xml.writeTextElement(QStringLiteral("comment"), m.comment);
            xml.writeStartElement(QStringLiteral("translation"));
            if (m.unfinished || m.translation.isEmpty())
                xml.writeAttribute(QStringLiteral("type"), QStringLiteral("unfinished"));
            xml.writeCharacters(m.translation);
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() || !out.commit()) {
        if (error)
            *error = QStringLiteral("Could not write '%1': %2").arg(path, out.errorString());
        return false;
    }
    return true;
}
