// libFuzzer target for the RTF reader: any input must parse without crashing,
// hanging or growing without bound, and whatever it yields must survive a write
// and a second read with the same text.
#include "platform/rtf/RtfParser.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(*argc, *argv));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     qsizetype(size));
    const QString parsed = vocamo::ParseRtf(input).plainText();
    if (parsed.size() > qsizetype(size) * 2 + 16)
        abort(); // every character of text costs at least one byte of input, \u at most 2 units

    QTextDocument first;
    vocamo::RtfReader::read(input, &first);
    const QByteArray written = vocamo::RtfWriter::write(first);
    QTextDocument second;
    vocamo::RtfReader::read(written, &second);
    if (second.toRawText() != first.toRawText()) {
        fprintf(stderr, "round trip changed the text\n");
        abort();
    }
    return 0;
}
