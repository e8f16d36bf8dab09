#pragma once

#include <QByteArray>

#include <optional>

// AES in ECB mode (OpenSSL EVP) and MD2 (RFC 1319, our own: OpenSSL 3 no longer has it).

// Enciphers `plain` under `key` (16, 24 or 32 bytes select AES-128/192/256). The last
// block is filled up with zero bytes; a multiple of 16 gets no extra block. Empty in,
// empty out; a key of another size gives an empty result.
QByteArray aesEcbEncrypt(const QByteArray &plain, const QByteArray &key);

// Deciphers `cipher`; nullopt when its length is not a multiple of 16 or the key size is
// not 16, 24 or 32. The zero fill of the last block is kept.
std::optional<QByteArray> aesEcbDecrypt(const QByteArray &cipher, const QByteArray &key);

// The 16-byte MD2 digest of `data`.
QByteArray md2(const QByteArray &data);
