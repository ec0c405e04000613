#pragma once
// The few messages the data layer shows itself: a room type refused without a name, a
// database file that is missing or no database. The data layer sits below the dialogs, so
// the program hands it the message box to use when it starts; until then nothing is shown.
#include <QString>

#include <functional>

enum class NoticeIcon { None, Error };

using NoticeBox = std::function<void(const QString &text, const QString &caption, NoticeIcon icon)>;

// Installs the message box (an empty function shows nothing).
void SetNoticeBox(NoticeBox box);
void ShowNotice(const QString &text, const QString &caption, NoticeIcon icon);
