#pragma once
// The seventeen rights of an operator: one table that the schema, the first account, the
// operator form, the main window's commands and the staff-card pages all read.
#include <QString>
#include <QStringList>

#include <array>

struct OperatorRight
{
    const char *column;   // the yes/no column of Operator
    const char *checkBox; // the check box of the operator form's rights group
    const char *caption;  // the check box's caption
    // The main window's commands the right enables: their actions' objectNames, separated
    // by blanks (a command's tool button follows its action). Empty when none.
    const char *mainCommands;
    // The issue card form's page the right enables: its objectName and its index in the
    // page control; nullptr and -1 when none.
    const char *cardPage;
    int cardPageIndex;
};

inline constexpr int kOperatorRightCount = 17;

// In the order of the Operator table's columns.
const std::array<OperatorRight, kOperatorRightCount> &OperatorRights();

// The right columns alone, in the same order.
const QStringList &OperatorRightColumns();

// The main window's actions a right enables (objectNames).
QStringList MainCommandsOf(const OperatorRight &right);

// The right that governs a page of the issue card form, by page index or page objectName;
// nullptr for a page no right governs.
const OperatorRight *RightOfCardPage(int pageIndex);
const OperatorRight *RightOfCardPage(const QString &pageName);
