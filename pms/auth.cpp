#include "auth.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>

namespace pms {

namespace {
const QByteArray kKeyPrefix = "FidCrypt0S|";
const QByteArray kSealPrefix = "FidCryptAB;";
constexpr int kBlock = 16;
// base64 of 16 bytes: 24 characters, two of them "=" padding.
constexpr int kIvText = 24;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

std::optional<QByteArray> run(bool encrypt, const QByteArray &key, const QByteArray &iv,
                              const QByteArray &input)
{
    CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx || key.size() != kBlock || iv.size() != kBlock)
        return std::nullopt;
    const auto *k = reinterpret_cast<const unsigned char *>(key.constData());
    const auto *v = reinterpret_cast<const unsigned char *>(iv.constData());
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr, k, v, encrypt ? 1 : 0) != 1)
        return std::nullopt;
    QByteArray out(input.size() + kBlock, '\0');
    int n1 = 0, n2 = 0;
    auto *o = reinterpret_cast<unsigned char *>(out.data());
    if (EVP_CipherUpdate(ctx.get(), o, &n1,
                         reinterpret_cast<const unsigned char *>(input.constData()),
                         int(input.size())) != 1 ||
        EVP_CipherFinal_ex(ctx.get(), o + n1, &n2) != 1)
        return std::nullopt;
    out.resize(n1 + n2);
    return out;
}
} // namespace

std::optional<QByteArray> AuthKeyFromText(const QString &text)
{
    QByteArray t = text.trimmed().toLatin1();
    if (t.startsWith(kKeyPrefix))
        t = t.mid(kKeyPrefix.size());
    const auto decoded = QByteArray::fromBase64Encoding(t, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != kBlock)
        return std::nullopt;
    return decoded.decoded;
}

QByteArray SealStamp(const QByteArray &key, const QByteArray &plain)
{
    QByteArray iv(kBlock, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(iv.data()), kBlock) != 1)
        return {};
    const std::optional<QByteArray> cipher = run(true, key, iv, plain);
    if (!cipher)
        return {};
    return kSealPrefix + iv.toBase64() + cipher->toBase64();
}

std::optional<QByteArray> OpenStamp(const QByteArray &key, const QByteArray &sealed)
{
    if (!sealed.startsWith(kSealPrefix) || sealed.size() < kSealPrefix.size() + kIvText)
        return std::nullopt;
    const QByteArray rest = sealed.mid(kSealPrefix.size());
    const auto iv =
        QByteArray::fromBase64Encoding(rest.left(kIvText), QByteArray::AbortOnBase64DecodingErrors);
    const auto cipher =
        QByteArray::fromBase64Encoding(rest.mid(kIvText), QByteArray::AbortOnBase64DecodingErrors);
    if (!iv || !cipher)
        return std::nullopt;
    return run(false, key, iv.decoded, cipher.decoded);
}

} // namespace pms
