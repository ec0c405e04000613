#pragma once
// The program's version information. Linux program files carry no version resource, so
// the block is compiled into the program; lookups work as on a resource.
#include <QString>

class TFileVersion
{
public:
    TFileVersion();
    // The first translation entry as "%.4x%.4x" (language id, code page); empty without a block.
    QString GetTranslation() const;
    // The value of `name` for that translation, trimmed; empty when missing.
    QString GetValue(const QString &name) const;

private:
    bool m_hasBlock;
};
