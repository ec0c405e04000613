#pragma once
// "Now" for the whole program; tests may fix it.
#include <QDateTime>

QDateTime Now();
// An invalid value restores the real clock.
void SetNow(const QDateTime &fixed);
