#include "store/Routine.h"

#include "platform/Crypto.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUuid>
#include <QtEndian>

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// The first `size` bytes of the key, zero-filled when it is shorter.
QByteArray fittedKey(const QByteArray &key, qsizetype size)
{
    QByteArray fitted = key.left(size);
    if (fitted.size() < size)
        fitted.append(size - fitted.size(), '\0');
    return fitted;
}

// Inflates a zlib stream into exactly `expected` bytes. The output grows as data
// arrives, so a lying length prefix cannot make us allocate more than the data yields.
bool inflateExactly(const QByteArray &compressed, quint32 expected, QByteArray &out, QString *error)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) {
        setError(error, QStringLiteral("zlib: cannot initialise the inflater"));
        return false;
    }
    struct Ender { z_stream *s; ~Ender() { inflateEnd(s); } } ender{&zs};

    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData()));
    zs.avail_in = uInt(compressed.size());
    constexpr qsizetype chunk = 64 * 1024;
    QByteArray result;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        const qsizetype used = result.size();
        // One byte of room past the declared size shows when the data runs longer.
        const qsizetype room = std::min<qsizetype>(chunk, qsizetype(expected) + 1 - used);
        if (room <= 0) {
            setError(error, QStringLiteral("packed data is longer than its declared length %1").arg(expected));
            return false;
        }
        result.resize(used + room);
        zs.next_out = reinterpret_cast<Bytef *>(result.data() + used);
        zs.avail_out = uInt(room);
        rc = inflate(&zs, Z_NO_FLUSH);
        result.resize(used + room - qsizetype(zs.avail_out));
        if (rc == Z_STREAM_END)
            break;
        if (rc != Z_OK) {
            // Z_BUF_ERROR with input left means no progress was possible: truncated data.
            const char *message = zs.msg ? zs.msg : (rc == Z_BUF_ERROR ? "unexpected end of data" : "error");
            setError(error, QStringLiteral("zlib: %1").arg(QString::fromLatin1(message)));
            return false;
        }
        if (zs.avail_in == 0 && zs.avail_out != 0) {
            setError(error, QStringLiteral("zlib: unexpected end of data"));
            return false;
        }
    }
    if (result.size() != qsizetype(expected)) {
        setError(error, QStringLiteral("packed data holds %1 bytes, declared %2")
                            .arg(result.size()).arg(expected));
        return false;
    }
    out = std::move(result);
    return true;
}

struct ZipDiscard
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose
{
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

// The entry name for a file path: the path's folders and name without a leading '/',
// and without "." or ".." components, so extracting it cannot leave the target folder.
QString entryNameFor(const QString &filePath)
{
    QStringList parts;
    for (const QString &part : QString(filePath).replace(QLatin1Char('\\'), QLatin1Char('/'))
                                    .split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part != QLatin1String(".") && part != QLatin1String(".."))
            parts << part;
    }
    return parts.join(QLatin1Char('/'));
}

} // namespace

void PackStream(QByteArray &stream)
{
    if (stream.isEmpty())
        return;
    const auto length = quint32(stream.size());
    uLongf bound = compressBound(uLong(stream.size()));
    QByteArray packed(qsizetype(4 + bound), Qt::Uninitialized);
    qToLittleEndian<quint32>(length, packed.data());
    const int rc = compress2(reinterpret_cast<Bytef *>(packed.data() + 4), &bound,
                             reinterpret_cast<const Bytef *>(stream.constData()),
                             uLong(stream.size()), Z_BEST_COMPRESSION);
    if (rc != Z_OK)
        return; // only out of memory; the data stays as it was
    packed.resize(qsizetype(4 + bound));
    stream = std::move(packed);
}

bool UnpackStream(QByteArray &stream, QString *error)
{
    if (stream.isEmpty())
        return true;
    if (stream.size() < 4) {
        setError(error, QStringLiteral("packed data shorter than its 4-byte length"));
        return false;
    }
    const auto expected = qFromLittleEndian<quint32>(stream.constData());
    if (expected > MaxUnpackedSize) {
        setError(error, QStringLiteral("declared length %1 exceeds the limit of %2 bytes")
                            .arg(expected).arg(MaxUnpackedSize));
        return false;
    }
    if (stream.size() - 4 > qsizetype(std::numeric_limits<uInt>::max())) {
        setError(error, QStringLiteral("packed data too large"));
        return false;
    }
    QByteArray unpacked;
    if (!inflateExactly(stream.mid(4), expected, unpacked, error))
        return false;
    stream = std::move(unpacked);
    return true;
}

void EncipherAndPack(QByteArray &stream, const QByteArray &key16)
{
    if (!stream.isEmpty())
        stream = aesEcbEncrypt(stream, fittedKey(key16, 16));
    PackStream(stream);
}

bool UnpackAndDecipher(QByteArray &stream, const QByteArray &key16, QString *error)
{
    QByteArray data = stream;
    if (!UnpackStream(data, error))
        return false;
    const std::optional<QByteArray> plain = aesEcbDecrypt(data, fittedKey(key16, 16));
    if (!plain) {
        setError(error, QStringLiteral("enciphered data of %1 bytes is not whole 16-byte blocks")
                            .arg(data.size()));
        return false;
    }
    stream = *plain;
    return true;
}

QByteArray LoadPackedResource(const QString &name)
{
    const QString path = name.startsWith(QLatin1String(":/")) ? name : QStringLiteral(":/") + name;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray data = file.readAll();
    if (!UnpackStream(data))
        return {};
    return data;
}

std::optional<QString> DecipherHexText(const QString &hex, const QString &key, int keySize)
{
    if (keySize < 0 || keySize > 2 || hex.size() % 2 != 0)
        return std::nullopt;
    const QByteArray bytes = HexToStream(hex);
    if (bytes.size() * 2 != hex.size() || bytes.size() < 8)
        return std::nullopt; // a non-hexadecimal pair, or no room for the length
    const std::optional<QByteArray> plain =
        aesEcbDecrypt(bytes.mid(8), fittedKey(key.toUtf8(), 16 + 8 * keySize));
    if (!plain)
        return std::nullopt;
    const auto stored = qFromLittleEndian<quint64>(bytes.constData());
    QByteArray text = *plain;
    if (stored < quint64(text.size()))
        text.truncate(qsizetype(stored));
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    return QString::fromUtf8(text);
}

QString EncipherHexText(const QString &plain, const QString &key, int keySize)
{
    if (keySize < 0 || keySize > 2)
        return {};
    const QByteArray bytes = plain.toUtf8();
    QByteArray out(8, Qt::Uninitialized);
    qToLittleEndian<quint64>(quint64(bytes.size()), out.data());
    out += aesEcbEncrypt(bytes, fittedKey(key.toUtf8(), 16 + 8 * keySize));
    return StreamToHex(out);
}

QString StreamToHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QByteArray HexToStream(const QString &hex)
{
    auto digit = [](QChar c) -> int {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9') return u - '0';
        if (u >= 'A' && u <= 'F') return u - 'A' + 10;
        if (u >= 'a' && u <= 'f') return u - 'a' + 10;
        return -1;
    };
    QByteArray out;
    out.reserve(hex.size() / 2);
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int high = digit(hex[i]);
        const int low = digit(hex[i + 1]);
        if (high < 0 || low < 0)
            break;
        out.append(char(high * 16 + low));
    }
    return out;
}

bool ZipFile(const QString &filePath, const QString &archivePath)
{
    const QFileInfo info(filePath);
    const QString entryName = entryNameFor(filePath);
    if (!info.isFile() || !info.isReadable() || entryName.isEmpty() || archivePath.isEmpty())
        return false;

    int errorCode = 0;
    ZipHandle archive(zip_open(QFile::encodeName(archivePath).constData(),
                               ZIP_CREATE | ZIP_TRUNCATE, &errorCode));
    if (!archive)
        return false;
    zip_source_t *source = zip_source_file(archive.get(), QFile::encodeName(filePath).constData(), 0, 0);
    if (!source)
        return false;
    if (zip_file_add(archive.get(), entryName.toUtf8().constData(), source,
                     ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        return false;
    }
    // zip_close writes to a temporary file and renames it, so a failure keeps any old archive.
    if (zip_close(archive.get()) != 0)
        return false;
    archive.release();
    return true;
}

void UnzipStream(QByteArray &stream)
{
    const QByteArray input = stream; // the buffer source reads from this copy
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(input.constData(), zip_uint64_t(input.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        return;
    }
    ZipHandle archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return;
    }

    QByteArray content;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    char buffer[64 * 1024];
    for (zip_int64_t index = 0; index < count; ++index) {
        std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen_index(archive.get(), zip_uint64_t(index), 0));
        if (!file)
            return;
        for (;;) {
            const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
            if (got < 0)
                return;
            if (got == 0)
                break;
            if (content.size() + got > qsizetype(MaxUnpackedSize))
                return; // refuse archives that expand beyond what a packed blob may hold
            content.append(buffer, qsizetype(got));
        }
    }
    stream = std::move(content);
}

QString NewGuidText()
{
    const QUuid uuid = QUuid::createUuid();
    if (uuid.isNull())
        return {};
    return uuid.toString(QUuid::WithBraces).toUpper();
}

QString NewUniqueHash()
{
    return StreamToHex(md2(NewGuidText().toUtf8()));
}

QString DelphiTrim(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString FlattenLines(const QString &text)
{
    QString flat = DelphiTrim(text);
    flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return flat;
}
