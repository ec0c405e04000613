#include "application.h"

#include "data/errors.h"
#include "data/notice.h"
#include "ui/dialogs.h"

#include <QProxyStyle>

namespace {

// The platform's style, except that masked fields show '*' for each character typed.
class QuenmarStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

QuenmarApplication::QuenmarApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Orvane V16.0"));
    setStyle(new QuenmarStyle);
    // The data layer's own messages go through the dialog seam like every other.
    SetNoticeBox([](const QString &text, const QString &caption, NoticeIcon icon) {
        ShowMessage(text, caption, icon == NoticeIcon::Error ? MsgIcon::Error : MsgIcon::None);
    });
}

bool QuenmarApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
