#pragma once

#include <QByteArray>
#include <QString>

// A dictionary note as a small RTF document: the headword in bold with its phonetic
// transcription, then the Chinese and the English usage note. Pure ASCII: every
// character outside ASCII is written as a \uN escape (with "?" as its ANSI fallback).
QByteArray NoteRtf(const QString &word, const QString &symbol, const QString &chinese,
                   const QString &english);

// Text escaped for an RTF body: \ { } quoted, non-ASCII as \uN?.
QByteArray RtfEscaped(const QString &text);
