#include "statuspanels.h"

#include <QBoxLayout>
#include <QLabel>
#include <QStatusBar>

QList<QLabel *> AddStatusPanels(QWidget *form, QBoxLayout *layout, const QList<int> &widths)
{
    auto *bar = new QStatusBar(form);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    QList<QLabel *> panels;
    for (int i = 0; i < widths.size(); ++i) {
        auto *panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i));
        panel->setTextFormat(Qt::PlainText);
        if (widths[i] > 0)
            panel->setFixedWidth(widths[i]);
        bar->addWidget(panel, widths[i] > 0 ? 0 : 1);
        panels.append(panel);
    }
    layout->addWidget(bar);
    return panels;
}
