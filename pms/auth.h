#pragma once
// The optional authentication of the link description: a stamp text sealed with the
// hotel's AES-128 key (CBC, PKCS#7 padding, a fresh random IV), written as
// "FidCryptAB;" + base64(IV) + base64(cipher text).
#include <QByteArray>
#include <QString>

#include <optional>

namespace pms {

// The 16-byte key from the configured text: base64, with or without the "FidCrypt0S|" in
// front that the other side shows; nullopt when it is no 16-byte key.
std::optional<QByteArray> AuthKeyFromText(const QString &text);

// The sealed form of `plain`.
QByteArray SealStamp(const QByteArray &key, const QByteArray &plain);
// The plain text of a sealed value; nullopt when it does not open with this key.
std::optional<QByteArray> OpenStamp(const QByteArray &key, const QByteArray &sealed);

} // namespace pms
