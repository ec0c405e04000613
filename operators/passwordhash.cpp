#include "passwordhash.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStringList>

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
    QByteArray out;
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    for (quint32 block = 1; out.size() < length; ++block) {
        QByteArray u = salt;
        u.append(char(block >> 24))
            .append(char(block >> 16))
            .append(char(block >> 8))
            .append(char(block));
        mac.reset();
        mac.addData(u);
        u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            for (int j = 0; j < t.size(); ++j)
                t[j] = char(t[j] ^ u[j]);
        }
        out.append(t);
    }
    return out.left(length);
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
