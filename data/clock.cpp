#include "clock.h"

namespace {
QDateTime fixedNow;
}

QDateTime Now()
{
    return fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime();
}

void SetNow(const QDateTime &fixed)
{
    fixedNow = fixed;
}
