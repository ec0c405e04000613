#pragma once
// Stored operator passwords: salted PBKDF2-SHA256,
// "pbkdf2-sha256$<iterations>$<salt base64>$<hash base64>".
#include <QByteArray>
#include <QString>

QString HashPassword(const QString &password);
// True when `password` matches the stored text. A stored text that is not a hash is a
// plain password of an older database and is compared as text.
bool VerifyPassword(const QString &password, const QString &stored);
bool IsPasswordHash(const QString &stored);

QByteArray Pbkdf2Sha256(const QByteArray &password, const QByteArray &salt, int iterations,
                        int length);
