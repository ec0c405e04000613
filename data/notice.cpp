#include "notice.h"

namespace {

NoticeBox &installed()
{
    static NoticeBox box;
    return box;
}

} // namespace

void SetNoticeBox(NoticeBox box)
{
    installed() = std::move(box);
}

void ShowNotice(const QString &text, const QString &caption, NoticeIcon icon)
{
    if (installed())
        installed()(text, caption, icon);
}
