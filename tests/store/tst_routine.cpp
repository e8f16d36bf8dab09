#include "platform/Crypto.h"
#include "store/Routine.h"

#include <QLibraryInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QResource>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <zip.h>
#include <zlib.h>

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (auto &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray zlibOf(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(out.data()), &size,
              reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()), 6);
    out.resize(qsizetype(size));
    return out;
}

// Hexadecimal cipher text built directly from the primitives: length + AES-ECB.
QString handMadeHexCipher(const QByteArray &plain, const QByteArray &key)
{
    QByteArray bytes(8, Qt::Uninitialized);
    qToLittleEndian<quint64>(quint64(plain.size()), bytes.data());
    bytes += aesEcbEncrypt(plain, key);
    return QString::fromLatin1(bytes.toHex());
}

const QByteArray key16("K3y-0f-sixteen16");

} // namespace

class TestRoutine : public QObject
{
    Q_OBJECT

private slots:
    void packRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("one byte") << QByteArray("x");
        QTest::newRow("text") << QByteArray("The quick brown fox 敏捷的狐狸");
        QTest::newRow("zeros 1 MiB") << QByteArray(1 << 20, '\0');
        QTest::newRow("random 200 KiB") << randomBytes(200 * 1024, 7);
        QTest::newRow("random 65536") << randomBytes(65536, 8);
    }
    void packRoundTrip()
    {
        QFETCH(QByteArray, data);
        QByteArray stream = data;
        PackStream(stream);
        QVERIFY(stream != data);
        QCOMPARE(qFromLittleEndian<quint32>(stream.constData()), quint32(data.size()));
        // Behind the length sits a plain zlib stream.
        QByteArray inflated(data.size(), Qt::Uninitialized);
        uLongf size = uLongf(data.size());
        QCOMPARE(uncompress(reinterpret_cast<Bytef *>(inflated.data()), &size,
                            reinterpret_cast<const Bytef *>(stream.constData() + 4),
                            uLong(stream.size() - 4)), Z_OK);
        QCOMPARE(inflated, data);

        QString error;
        QVERIFY(UnpackStream(stream, &error));
        QVERIFY(error.isEmpty());
        QCOMPARE(stream, data);
    }

    void packUsesMaximumCompression()
    {
        const QByteArray data = QByteArray("abcabcabd0123456789").repeated(5000) + randomBytes(3000, 3);
        QByteArray stream = data;
        PackStream(stream);
        uLongf size = compressBound(uLong(data.size()));
        QByteArray best(qsizetype(size), Qt::Uninitialized);
        compress2(reinterpret_cast<Bytef *>(best.data()), &size,
                  reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()), 9);
        best.resize(qsizetype(size));
        QCOMPARE(stream.mid(4), best);
    }

    void unpackAcceptsOtherLevels()
    {
        QByteArray stream = le32(5) + zlibOf("hello");
        QVERIFY(UnpackStream(stream));
        QCOMPARE(stream, QByteArray("hello"));
    }

    void emptyStaysEmpty()
    {
        QByteArray stream;
        PackStream(stream);
        QVERIFY(stream.isEmpty());
        QVERIFY(UnpackStream(stream));
        QVERIFY(stream.isEmpty());
        EncipherAndPack(stream, key16);
        QVERIFY(stream.isEmpty());
        QVERIFY(UnpackAndDecipher(stream, key16));
        QVERIFY(stream.isEmpty());
    }

    void unpackRejects_data()
    {
        QTest::addColumn<QByteArray>("stream");
        const QByteArray packed = le32(11) + zlibOf("hello world");
        QTest::newRow("3 bytes") << QByteArray("\x05\x00\x00", 3);
        QTest::newRow("length only") << le32(5);
        QTest::newRow("not zlib") << le32(5) + QByteArray("hello, plain text");
        QTest::newRow("truncated") << packed.left(packed.size() - 6);
        QTest::newRow("prefix larger than data") << le32(12) + zlibOf("hello world");
        QTest::newRow("prefix smaller than data") << le32(10) + zlibOf("hello world");
        QTest::newRow("prefix 3 GiB") << le32(3u << 30) + zlibOf("hello world");
        QTest::newRow("prefix just over the cap") << le32(MaxUnpackedSize + 1) + zlibOf("hello world");
        QTest::newRow("corrupt checksum") << [&] {
            QByteArray bad = packed;
            bad[bad.size() - 1] = char(bad[bad.size() - 1] ^ 0x55);
            return bad;
        }();
    }
    void unpackRejects()
    {
        QFETCH(QByteArray, stream);
        const QByteArray before = stream;
        QString error;
        QVERIFY(!UnpackStream(stream, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(stream, before);
        QVERIFY(!UnpackStream(stream)); // no error sink is fine too
    }

    void encipherAndPackZeroFills()
    {
        const QByteArray data = randomBytes(20, 11);
        QByteArray stream = data;
        EncipherAndPack(stream, key16);
        QCOMPARE(qFromLittleEndian<quint32>(stream.constData()), 32u);
        QByteArray inner = stream;
        QVERIFY(UnpackStream(inner));
        QCOMPARE(inner, aesEcbEncrypt(data, key16));

        QVERIFY(UnpackAndDecipher(stream, key16));
        QCOMPARE(stream.size(), 32);
        QCOMPARE(stream.left(20), data);
        QCOMPARE(stream.mid(20), QByteArray(12, '\0'));
    }

    void unpackAndDecipherRejectsPartialBlocks()
    {
        QByteArray stream = QByteArray("not a whole block");
        PackStream(stream);
        const QByteArray before = stream;
        QString error;
        QVERIFY(!UnpackAndDecipher(stream, key16, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(stream, before);
    }

    void loadPackedResource()
    {
        const QString rcc = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/rcc");
        if (!QFileInfo::exists(rcc))
            QSKIP("rcc not available");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray content = QByteArray("packed resource ").repeated(100);
        QByteArray packed = content;
        PackStream(packed);
        auto write = [&](const QString &name, const QByteArray &bytes) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write(QStringLiteral("good.dat"), packed);
        write(QStringLiteral("empty.dat"), {});
        write(QStringLiteral("bad.dat"), le32(100) + "garbage");
        write(QStringLiteral("test.qrc"),
              "<RCC><qresource prefix=\"/routine-test\">"
              "<file>good.dat</file><file>empty.dat</file><file>bad.dat</file>"
              "</qresource></RCC>");
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(rcc, {QStringLiteral("--binary"), QStringLiteral("test.qrc"),
                            QStringLiteral("-o"), QStringLiteral("test.rcc")});
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(QResource::registerResource(dir.filePath(QStringLiteral("test.rcc"))));

        QCOMPARE(LoadPackedResource(QStringLiteral("routine-test/good.dat")), content);
        QCOMPARE(LoadPackedResource(QStringLiteral(":/routine-test/good.dat")), content);
        QVERIFY(LoadPackedResource(QStringLiteral("routine-test/empty.dat")).isEmpty());
        QVERIFY(LoadPackedResource(QStringLiteral("routine-test/bad.dat")).isEmpty());
        QVERIFY(LoadPackedResource(QStringLiteral("routine-test/missing.dat")).isEmpty());
        QResource::unregisterResource(dir.filePath(QStringLiteral("test.rcc")));
    }

    void hexRoundTrip()
    {
        const QByteArray bytes("\x0A\xFF", 2);
        QCOMPARE(StreamToHex(bytes), QStringLiteral("0AFF"));
        QCOMPARE(HexToStream(QStringLiteral("0AFF")), bytes);
        const QByteArray all = [] {
            QByteArray b(256, Qt::Uninitialized);
            for (int i = 0; i < 256; ++i)
                b[i] = char(i);
            return b;
        }();
        QCOMPARE(HexToStream(StreamToHex(all)), all);
        QVERIFY(StreamToHex({}).isEmpty());
    }

    void hexToStream_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("lower case") << QStringLiteral("0aff") << QByteArray("\x0A\xFF", 2);
        QTest::newRow("odd digit ignored") << QStringLiteral("0AF") << QByteArray("\x0A", 1);
        QTest::newRow("stops at bad pair") << QStringLiteral("0AZZ11") << QByteArray("\x0A", 1);
        QTest::newRow("bad low digit") << QStringLiteral("410G41") << QByteArray("A");
        QTest::newRow("blank") << QStringLiteral("41 42") << QByteArray("A");
        QTest::newRow("full-width digit") << QStringLiteral("4１") << QByteArray();
    }
    void hexToStream()
    {
        QFETCH(QString, hex);
        QFETCH(QByteArray, bytes);
        QCOMPARE(HexToStream(hex), bytes);
    }

    void hexTextRoundTrip_data()
    {
        QTest::addColumn<int>("keySize");
        QTest::addColumn<QString>("plain");
        for (int keySize = 0; keySize <= 2; ++keySize) {
            const QByteArray size = QByteArray::number(128 + 64 * keySize);
            QTest::newRow(size + " ascii") << keySize << QStringLiteral("abandon");
            QTest::newRow(size + " chinese") << keySize << QStringLiteral("v. 放弃；抛弃 [例] He abandoned his car.");
            QTest::newRow(size + " 16 bytes") << keySize << QStringLiteral("0123456789abcdef");
            QTest::newRow(size + " empty") << keySize << QString();
        }
    }
    void hexTextRoundTrip()
    {
        QFETCH(int, keySize);
        QFETCH(QString, plain);
        const QString key = QStringLiteral("a word-column key that is long enough");
        const QString hex = EncipherHexText(plain, key, keySize);
        QVERIFY(QRegularExpression(QStringLiteral("^([0-9A-F]{2})+$")).match(hex).hasMatch());
        const int plainBytes = int(plain.toUtf8().size());
        QCOMPARE(hex.size(), 2 * (8 + (plainBytes + 15) / 16 * 16));
        QCOMPARE(qFromLittleEndian<quint64>(HexToStream(hex).constData()), quint64(plainBytes));
        QCOMPARE(DecipherHexText(hex, key, keySize), std::optional<QString>(plain));
        // Lower-case digits decode as well.
        QCOMPARE(DecipherHexText(hex.toLower(), key, keySize), std::optional<QString>(plain));
        if (!plain.isEmpty()) {
            // A key that differs inside the used bytes does not give the text back.
            QString other = key;
            other[0] = QLatin1Char('b');
            QVERIFY(DecipherHexText(hex, other, keySize) != std::optional<QString>(plain));
            QVERIFY(EncipherHexText(plain, key, (keySize + 1) % 3) != hex);
        }
    }

    void hexTextKeyRule_data()
    {
        QTest::addColumn<int>("keySize");
        QTest::newRow("128") << 0;
        QTest::newRow("192") << 1;
        QTest::newRow("256") << 2;
    }
    void hexTextKeyRule()
    {
        QFETCH(int, keySize);
        const int keyBytes = 16 + 8 * keySize;
        const QByteArray plain("the quick brown fox");
        // A short key is zero-filled to the key size.
        const QByteArray shortKey("shortkey");
        QByteArray filled = shortKey;
        filled.append(keyBytes - shortKey.size(), '\0');
        QCOMPARE(DecipherHexText(handMadeHexCipher(plain, filled), QString::fromLatin1(shortKey), keySize),
                 std::optional<QString>(QString::fromLatin1(plain)));
        // A long key is cut to the key size.
        const QByteArray longKey("0123456789abcdefghijklmnopqrstuvwxyz!@#$");
        QCOMPARE(DecipherHexText(handMadeHexCipher(plain, longKey.left(keyBytes)),
                                 QString::fromLatin1(longKey), keySize),
                 std::optional<QString>(QString::fromLatin1(plain)));
    }

    void hexTextStopsAtNul()
    {
        // Deciphered data ends at the first NUL even when the stored length says more.
        const QByteArray key = QByteArray("0123456789ABCDEF");
        QByteArray bytes(8, Qt::Uninitialized);
        qToLittleEndian<quint64>(32, bytes.data());
        bytes += aesEcbEncrypt(QByteArray("left\0right", 10), key);
        QCOMPARE(DecipherHexText(StreamToHex(bytes), QString::fromLatin1(key), 0),
                 std::optional<QString>(QStringLiteral("left")));
    }

    void hexTextRejects_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<int>("keySize");
        const QString good = EncipherHexText(QStringLiteral("word"), QStringLiteral("k"), 0);
        QTest::newRow("non-hex pair") << QString(good).replace(20, 2, QStringLiteral("G1")) << 0;
        QTest::newRow("odd length") << good.left(good.size() - 1) << 0;
        QTest::newRow("shorter than the length") << QStringLiteral("0102") << 0;
        QTest::newRow("partial block") << good.left(good.size() - 2) << 0;
        QTest::newRow("key size 3") << good << 3;
        QTest::newRow("key size -1") << good << -1;
    }
    void hexTextRejects()
    {
        QFETCH(QString, hex);
        QFETCH(int, keySize);
        QVERIFY(!DecipherHexText(hex, QStringLiteral("k"), keySize).has_value());
    }

    void zipRoundTrip()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString filePath = dir.filePath(QStringLiteral("marovek.txt"));
        const QByteArray content = "<doc>标记 marked copy</doc>\n" + randomBytes(5000, 5);
        {
            QFile file(filePath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const QString archivePath = dir.filePath(QStringLiteral("marovek.dat"));
        QVERIFY(ZipFile(filePath, archivePath));

        int error = 0;
        zip_t *archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, &error);
        QVERIFY(archive);
        QCOMPARE(zip_get_num_entries(archive, 0), zip_int64_t(1));
        QCOMPARE(QString::fromUtf8(zip_get_name(archive, 0, 0)), filePath.mid(1));
        zip_discard(archive);

        QFile file(archivePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray stream = file.readAll();
        UnzipStream(stream);
        QCOMPARE(stream, content);

        // Zipping again replaces the archive rather than adding to it.
        {
            QFile source(filePath);
            QVERIFY(source.open(QIODevice::WriteOnly | QIODevice::Truncate));
            source.write("second");
        }
        QVERIFY(ZipFile(filePath, archivePath));
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        stream = file.readAll();
        UnzipStream(stream);
        QCOMPARE(stream, QByteArray("second"));
    }

    void zipFileFailures()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString archivePath = dir.filePath(QStringLiteral("out.zip"));
        QVERIFY(!ZipFile(dir.filePath(QStringLiteral("missing.txt")), archivePath));
        QVERIFY(!QFile::exists(archivePath));
        QVERIFY(!ZipFile(dir.path(), archivePath)); // a folder is not a file
        QFile source(dir.filePath(QStringLiteral("a.txt")));
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write("a");
        source.close();
        QVERIFY(!ZipFile(source.fileName(), dir.filePath(QStringLiteral("no/such/folder/out.zip"))));
    }

    void unzipConcatenatesEntries()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString archivePath = dir.filePath(QStringLiteral("multi.zip"));
        int error = 0;
        zip_t *archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE, &error);
        QVERIFY(archive);
        static const char first[] = "first part;";
        static const char second[] = "second part";
        zip_dir_add(archive, "folder", ZIP_FL_ENC_UTF_8);
        zip_file_add(archive, "folder/one.txt", zip_source_buffer(archive, first, sizeof first - 1, 0), 0);
        zip_file_add(archive, "two.txt", zip_source_buffer(archive, second, sizeof second - 1, 0), 0);
        QCOMPARE(zip_close(archive), 0);

        QFile file(archivePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray stream = file.readAll();
        UnzipStream(stream);
        QCOMPARE(stream, QByteArray("first part;second part"));
    }

    void unzipLeavesNonArchives_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("plain text") << QByteArray("<xml>not an archive</xml>");
        QTest::newRow("zip magic only") << QByteArray("PK\x03\x04garbage", 11);
        QTest::newRow("random") << randomBytes(4096, 9);
    }
    void unzipLeavesNonArchives()
    {
        QFETCH(QByteArray, stream);
        const QByteArray before = stream;
        UnzipStream(stream);
        QCOMPARE(stream, before);
    }

    void guidAndHash()
    {
        const QRegularExpression guidShape(QStringLiteral(
            "^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
        QVERIFY(guidShape.match(NewGuidText()).hasMatch());
        const QRegularExpression hashShape(QStringLiteral("^[0-9A-F]{32}$"));
        QSet<QString> seen;
        for (int i = 0; i < 1000; ++i) {
            const QString hash = NewUniqueHash();
            QVERIFY2(hashShape.match(hash).hasMatch(), qPrintable(hash));
            seen.insert(hash);
        }
        QCOMPARE(seen.size(), 1000);
    }

    void delphiTrim_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("blanks only") << QStringLiteral(" \t\r\n ") << QString();
        QTest::newRow("control chars") << QStringLiteral("\x01\x1f word \x7f") << QStringLiteral("word \x7f");
        QTest::newRow("inner kept") << QStringLiteral("  a  b  ") << QStringLiteral("a  b");
        QTest::newRow("ideographic space kept") << QStringLiteral("\u3000词\u3000") << QStringLiteral("\u3000词\u3000");
        QTest::newRow("no-break space kept") << QStringLiteral("\u00a0x\u00a0") << QStringLiteral("\u00a0x\u00a0");
    }
    void delphiTrim()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(DelphiTrim(text), trimmed);
    }

    void flattenLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("flat");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("one line") << QStringLiteral("word") << QStringLiteral("word");
        QTest::newRow("CRLF gives two blanks") << QStringLiteral("a\r\nb") << QStringLiteral("a  b");
        QTest::newRow("LF") << QStringLiteral("a\nb\nc") << QStringLiteral("a b c");
        QTest::newRow("CR") << QStringLiteral("a\rb") << QStringLiteral("a b");
        QTest::newRow("outer breaks trimmed") << QStringLiteral("\r\n a\nb \r\n") << QStringLiteral("a b");
        QTest::newRow("U+3000 kept") << QStringLiteral("\u3000中\n文\u3000") << QStringLiteral("\u3000中 文\u3000");
        QTest::newRow("tab inside kept") << QStringLiteral("a\tb") << QStringLiteral("a\tb");
    }
    void flattenLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, flat);
        QCOMPARE(FlattenLines(text), flat);
    }
};

QTEST_GUILESS_MAIN(TestRoutine)
#include "tst_routine.moc"
