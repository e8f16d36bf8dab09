// vocamo-build-store: builds the sample word store from the schema and the content
// sources of data/.
//
//   vocamo-build-store --schema data/schema.sql --data data/ --out PATH [--words N]
//
// --words N adds generated words until the store holds N words (for benchmarks).
// --server-content PATH also (or, without --schema and --out, only) writes the reference
// server's content file: the books and their words, with the store's word ids.

#include "ContentSources.h"
#include "StoreWriter.h"
#include "server/ServerContent.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

struct Options {
    QString schema;
    QString data;
    QString out;
    QString serverContent;
    int words = 0;
};

bool ParseOptions(const QStringList &args, Options &options, QString &problem)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &name = args.at(i);
        if (i + 1 >= args.size()) {
            problem = QStringLiteral("%1 needs a value").arg(name);
            return false;
        }
        const QString value = args.at(++i);
        if (name == QLatin1String("--schema")) {
            options.schema = value;
        } else if (name == QLatin1String("--data")) {
            options.data = value;
        } else if (name == QLatin1String("--out")) {
            options.out = value;
        } else if (name == QLatin1String("--server-content")) {
            options.serverContent = value;
        } else if (name == QLatin1String("--words")) {
            bool ok = false;
            options.words = value.toInt(&ok);
            if (!ok || options.words < 0 || options.words > 5000000) {
                problem = QStringLiteral("--words takes a number from 0 to 5000000");
                return false;
            }
        } else {
            problem = QStringLiteral("unknown option %1").arg(name);
            return false;
        }
    }
    const bool storeOnly = options.serverContent.isEmpty();
    if (options.data.isEmpty() || options.schema.isEmpty() != options.out.isEmpty()
        || (storeOnly && options.out.isEmpty())) {
        problem = QStringLiteral("--data and either --schema with --out or --server-content are required");
        return false;
    }
    return true;
}

// Word ids are the store's: position in words.tsv from 1.
TServerContent ToServerContent(const Content &content)
{
    TServerContent server;
    for (int i = 0; i < content.words.size(); ++i) {
        const WordEntry &entry = content.words.at(i);
        server.words.insert(i + 1, TContentWord{i + 1, entry.name, entry.symbol, entry.meaning, entry.example,
                                                entry.translation});
    }
    for (const BookEntry &entry : content.books) {
        TContentBook book{entry.id, entry.name, {}};
        for (const int word : entry.words)
            book.words.append(word + 1);
        server.books.append(book);
    }
    return server;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);

    Options options;
    QString problem;
    if (!ParseOptions(app.arguments(), options, problem)) {
        err << "vocamo-build-store: " << problem << "\n"
            << "usage: vocamo-build-store --schema SCHEMA.sql --data DATA_DIR --out STORE [--words N] [--server-content PATH]\n";
        return 2;
    }

    Content content;
    QStringList errors;
    if (!ReadContent(options.data, content, errors)) {
        for (const QString &line : errors)
            err << line << "\n";
        err << "vocamo-build-store: " << errors.size() << " problem(s) in the content sources; nothing written\n";
        return 1;
    }
    AddSyntheticWords(content, options.words);

    if (!options.out.isEmpty() && !WriteStore(options.schema, content, options.out, problem)) {
        err << "vocamo-build-store: " << problem << "\n";
        return 1;
    }
    if (!options.serverContent.isEmpty() && !WriteServerContent(options.serverContent, ToServerContent(content), &problem)) {
        err << "vocamo-build-store: " << problem << "\n";
        return 1;
    }
    return 0;
}
