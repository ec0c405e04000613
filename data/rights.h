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
    int cardPage = -1;    // the page of the issue card form it unlocks; -1 for none
};

inline constexpr int kOperatorRightCount = 17;

// In the order of the Operator table's columns.
const std::array<OperatorRight, kOperatorRightCount> &OperatorRights();

// The right columns alone, in the same order.
const QStringList &OperatorRightColumns();

// The right that unlocks a page of the issue card form; nullptr for a page without one.
const OperatorRight *RightOfCardPage(int page);
