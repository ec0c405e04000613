#pragma once
// The report library in the program folder (Dll/libPrint.so), loaded when a list is printed.
#include <QString>

class QAbstractItemModel;
class QWidget;

// Report kinds of the library.
enum class ReportKind { OpenDoorRecords = 0, IssueRecords = 1, OperationLog = 2 };

QString ReportLibraryPath();

// Hands the list shown on the screen to the library, which opens its print preview. A missing
// library or entry is told to the operator. The heading texts travel as properties of `list`.
void PrintReport(QWidget *window, QAbstractItemModel *list, ReportKind kind);
