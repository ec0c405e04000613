#include "encoder.h"

#include "cards/messages.h"
#include "data/inifile.h"
#include "data/settings.h"
#include "kestrune/kestrune.h"
#include "ui/dialogs.h"

#include <QCoreApplication>

#include <cctype>

int16_t EncoderKind = 0;

bool PassToWords(const QString &pass, uint16_t words[4])
{
    if (pass.size() != 8)
        return false;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint v = pass.mid(i * 2, 2).toUInt(&ok, 16);
        if (!ok || !std::isxdigit(pass[i * 2].toLatin1()) ||
            !std::isxdigit(pass[i * 2 + 1].toLatin1()))
            return false;
        words[i] = uint16_t(v);
    }
    return true;
}

QString WordsToPass(const uint16_t words[4])
{
    QString pass;
    for (int i = 0; i < 4; ++i)
        pass += QStringLiteral("%1").arg(words[i], 2, 16, QChar('0')).toUpper();
    return pass;
}

bool ProbeEncoder()
{
    const IniFile ini(SettingsFilePath());
    const int port = ini.ReadInteger("Config", "CommProt", 0) + 1;
    return MakeCardOpenPort(int16_t(port)) == 1;
}

bool EncoderHandshake()
{
    uint16_t parameters[9] = {};
    GetParameter(parameters);
    EncoderKind = int16_t(parameters[0]);
    if (EncoderKind == 0)
        return true;
    const bool enable = EncoderKind == 3;
    if (!LockSystemInfo.Pass.isEmpty()) {
        uint16_t code[4];
        if (!PassToWords(LockSystemInfo.Pass, code)) {
            ShowMessage(
                QCoreApplication::translate("Encoder", "The encoder system code \"%1\" in "
                                                       "Quenmar.ini is not eight hexadecimal "
                                                       "characters; it was not handed to the "
                                                       "encoder.")
                    .arg(LockSystemInfo.Pass),
                QCoreApplication::translate("Encoder", "Connecting warning"), MsgIcon::Warning);
            return enable;
        }
        if (SystemInitialization(code) != 1)
            ShowMessage(QCoreApplication::translate("Encoder", "No tool encoder connected!"));
        return enable;
    }
    uint16_t code[4] = {};
    const int16_t result = ReadSystemPas(code);
    if (result == 1) {
        const QString pass = WordsToPass(code);
        ShowMessage(pass);
        LockSystemInfo.Pass = pass;
        IniFile ini(SettingsFilePath());
        if (!ini.WriteString("SystemInfo", "Pass", pass))
            ShowMessage(ini.ErrorText(),
                        QCoreApplication::translate("Encoder", "Connecting warning"),
                        MsgIcon::Warning);
    } else {
        ShowMessageByNo(result);
    }
    return enable;
}

bool ReadDataCardAllowed(bool enabledByEncoder, int16_t encoderKind, bool dataCardRight)
{
    // Without an encoder that enables it, the right alone never does.
    return enabledByEncoder && (encoderKind != 3 || dataCardRight);
}
