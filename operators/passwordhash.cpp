#include "passwordhash.h"

#include <QRandomGenerator>
#include <QStringList>

#include <openssl/evp.h>

namespace {
constexpr int kIterations = 100000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
const QString kPrefix = QStringLiteral("pbkdf2-sha256$");

bool constantTimeEqual(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (int i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}
} // namespace

QByteArray Pbkdf2Sha256(const QByteArray &password, const QByteArray &salt, int iterations,
                        int length)
{
    QByteArray out(length, '\0');
    if (length <= 0 || iterations < 1 ||
        PKCS5_PBKDF2_HMAC(password.constData(), int(password.size()),
                          reinterpret_cast<const unsigned char *>(salt.constData()),
                          int(salt.size()), iterations, EVP_sha256(), length,
                          reinterpret_cast<unsigned char *>(out.data())) != 1)
        return QByteArray();
    return out;
}

bool IsPasswordHash(const QString &stored)
{
    return stored.startsWith(kPrefix);
}

QString HashPassword(const QString &password)
{
    QByteArray salt(kSaltBytes, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), kSaltBytes / 4);
    const QByteArray hash = Pbkdf2Sha256(password.toUtf8(), salt, kIterations, kHashBytes);
    return kPrefix + QString::number(kIterations) + '$' + QString::fromLatin1(salt.toBase64()) +
           '$' + QString::fromLatin1(hash.toBase64());
}

bool VerifyPassword(const QString &password, const QString &stored)
{
    if (!IsPasswordHash(stored))
        return password == stored;
    const QStringList parts = stored.mid(kPrefix.size()).split('$');
    if (parts.size() != 3)
        return false;
    bool ok = false;
    const int iterations = parts[0].toInt(&ok);
    if (!ok || iterations < 1 || iterations > 10000000)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[1].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[2].toLatin1());
    if (expected.isEmpty())
        return false;
    return constantTimeEqual(Pbkdf2Sha256(password.toUtf8(), salt, iterations, expected.size()),
                             expected);
}
