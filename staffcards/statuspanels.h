#pragma once
// The status bar of the list forms: a row of text panels under the grid.
#include <QList>

class QBoxLayout;
class QLabel;
class QStatusBar;
class QWidget;

// Adds a status bar named StatusBar1 to the end of `layout`, with one plain-text panel
// (StatusBar1_Panel<i>) per width; a width of 0 stretches. Returns the panels.
QList<QLabel *> AddStatusPanels(QWidget *form, QBoxLayout *layout, const QList<int> &widths);
