#include "messages.h"

#include "data/appdir.h"
#include "data/settings.h"
#include "morvic/morvic.h"
#include "ui/dialogs.h"

#include <QFile>
#include <QStringDecoder>

#include <dlfcn.h>

#include <array>

namespace {

// Loads the library, runs `call` with the entry, frees the library again.
template <typename Fn, typename Call> bool withEntry(const char *name, Call call)
{
    void *library =
        dlopen(QFile::encodeName(MessageLibraryPath()).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    bool ok = false;
    if (auto entry = reinterpret_cast<Fn>(dlsym(library, name))) {
        call(entry);
        ok = true;
    }
    dlclose(library);
    return ok;
}

// The library's texts are UTF-8 (plain ASCII in English); bytes that are no UTF-8 are read
// one character each, as a library of single-byte texts means them.
QString bufferText(const std::array<uint8_t, MORVIC_BUFFER_SIZE> &buffer)
{
    const QByteArray bytes(reinterpret_cast<const char *>(buffer.data() + 1), buffer[0]);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

QString MessageLibraryPath()
{
    // A language whose folder has no library of its own gets the English messages.
    const QString own =
        ProgramPath(QStringLiteral("Dll/%1/libMorvic.so").arg(LockSystemInfo.LanguageID));
    return QFile::exists(own) ? own : ProgramPath(QStringLiteral("Dll/1033/libMorvic.so"));
}

QString FormatText(const QString &format, const QString &argument)
{
    QString text = format;
    const int at = text.indexOf(QStringLiteral("%s"));
    if (at >= 0)
        text.replace(at, 2, argument);
    return text;
}

QString GetUnitText(int number)
{
    std::array<uint8_t, MORVIC_BUFFER_SIZE> buffer{};
    QString text;
    withEntry<MorvicGetUnitStrFn>("GetUnitStr", [&](MorvicGetUnitStrFn entry) {
        entry(buffer.data(), static_cast<int16_t>(number));
        text = bufferText(buffer);
    });
    return text;
}

void ShowMessageByNo(int number)
{
    std::array<uint8_t, MORVIC_BUFFER_SIZE> buffer{};
    QString text;
    const bool found = withEntry<MorvicGetMsgStrFn>("GetMsgStr", [&](MorvicGetMsgStrFn entry) {
        entry(buffer.data(), static_cast<int16_t>(number), 1);
        text = bufferText(buffer);
    });
    if (!found)
        return;
    ShowMessage(text, FormatText(GetUnitText(0), QString::number(number)), MsgIcon::Information);
}
