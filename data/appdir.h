#pragma once
// Every path of the program is resolved from the folder of the program file.
#include <QString>

// The folder of the program file (tests may point it elsewhere).
QString ProgramDir();
void SetProgramDir(const QString &dir);

// A path below the program folder; `relative` may use '/' or '\' and any letter case
// of existing entries ("db\lock.mdb" finds DB/lock.mdb).
QString ProgramPath(const QString &relative);

// Resolves a path whose components may differ in letter case from the entries on disk.
// Components that exist exactly are kept; unmatched components are kept as written.
QString ResolvePathCase(const QString &path);
