#pragma once

#include <QString>

struct Content;

// Creates the store at outPath from the schema text and the content, in one
// transaction. The store is written to a temporary file beside outPath and renamed into
// place only when complete, so a failed build leaves outPath as it was.
bool WriteStore(const QString &schemaPath, const Content &content, const QString &outPath,
                QString &error);
