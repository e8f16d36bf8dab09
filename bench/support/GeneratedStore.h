#pragma once

#include <QString>

// The source tree's data/schema.sql: found through VOCAMO_SOURCE_DIR or by walking up from
// the benchmark's folder; empty when not found.
QString SchemaFile();

// Creates a store at `path` from data/schema.sql holding `wordCount` generated words with
// realistic texts and `dueCount` due rows (a quarter with the account's own meaning), one
// user and the version row, all in one transaction. The same seed gives the same store.
bool BuildGeneratedStore(const QString &path, int wordCount, int dueCount, quint32 seed);

// Vocamo.mdb and VocamoServer.content in `dir`, built by vocamo-build-store from the
// project's sources with `storeWords` words; every word joins the first book, the one a new
// account studies, so the server has that many words due at once.
bool BuildStudyContent(const QString &dir, int storeWords, QString &contentPath);
