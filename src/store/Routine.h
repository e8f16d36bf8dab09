#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Small shared routines of the data side: packed blobs (4-byte little-endian length +
// zlib), AES-enciphered blobs and hexadecimal cipher texts, zip archives, unique hashes
// and text trimming.

// Largest unpacked size a packed blob may declare (256 MiB); larger declarations are
// rejected as corrupt instead of being allocated.
inline constexpr quint32 MaxUnpackedSize = 256u * 1024u * 1024u;

// Replaces a non-empty stream by its packed form; an empty stream stays empty.
void PackStream(QByteArray &stream);
// Replaces a packed stream by its unpacked content. An empty stream stays empty (true).
// On any failure (short header, declared length over the cap, not zlib, inflated size not
// the declared one) returns false, sets *error and leaves the stream unchanged.
bool UnpackStream(QByteArray &stream, QString *error = nullptr);

// AES-128 ECB (zero-filled last block) under key16, then PackStream.
void EncipherAndPack(QByteArray &stream, const QByteArray &key16);
// UnpackStream, then AES-128 ECB decipher. On failure false, stream unchanged.
bool UnpackAndDecipher(QByteArray &stream, const QByteArray &key16, QString *error = nullptr);

// The unpacked content of the Qt resource ":/name" (a name starting with ":/" is used as
// it is). Empty when the resource is missing, empty or not a valid packed blob.
QByteArray LoadPackedResource(const QString &name);

// Decodes hexadecimal cipher text: 8-byte little-endian plain length, then AES-ECB
// ciphertext under the first 16/24/32 bytes (keySize 0/1/2) of the key's UTF-8 bytes,
// zero-filled when shorter. The text is the UTF-8 decoding of the deciphered bytes up to
// the first NUL (the zero fill), cut to the stored length. nullopt on a non-hexadecimal
// pair, an odd length, fewer than 8 bytes, ciphertext not a multiple of 16, or a bad key size.
std::optional<QString> DecipherHexText(const QString &hex, const QString &key, int keySize);
// The inverse: upper-case hex of (8-byte LE length of the UTF-8 bytes + ciphertext).
// Empty for a bad key size.
QString EncipherHexText(const QString &plain, const QString &key, int keySize);

// Two upper-case hexadecimal digits per byte.
QString StreamToHex(const QByteArray &bytes);
// The bytes of the digit pairs (length div 2 pairs; a trailing odd digit is ignored).
// Decoding stops at the first pair that is not hexadecimal: the result holds the bytes
// before it.
QByteArray HexToStream(const QString &hex);

// Writes an archive at archivePath holding the one file filePath; the entry name is the
// path without a leading '/'. An existing archive is replaced. False on any failure.
bool ZipFile(const QString &filePath, const QString &archivePath);
// Replaces an archive's bytes by the concatenated content of all its file entries, in
// archive order. Anything unreadable leaves the stream as it was.
void UnzipStream(QByteArray &stream);

// A new GUID as Windows writes it: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
QString NewGuidText();
// The MD2 digest of a new GUID text (its bytes), as 32 upper-case hexadecimal digits.
QString NewUniqueHash();

// Removes characters up to U+0020 at both ends (not other Unicode spaces such as U+3000).
QString DelphiTrim(const QString &text);
// DelphiTrim, then every CR and every LF replaced by one blank.
QString FlattenLines(const QString &text);
