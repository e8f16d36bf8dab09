// vocamo-server: the reference application server, standalone.
//
//   vocamo-server [--port N] [--data DIR] [--open-registration]
//                 [--tls-cert FILE --tls-key FILE] [--listen ADDRESS] [--help]
//   vocamo-server add-account ZONE PHONE PASSWORD --data DIR

#include "ReferenceServer.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QThread>

#include <csignal>

namespace {

const char *const kUsage =
    "usage: vocamo-server [--port N] [--data DIR] [--open-registration]\n"
    "                     [--tls-cert FILE --tls-key FILE] [--listen ADDRESS] [--help]\n"
    "       vocamo-server add-account ZONE PHONE PASSWORD --data DIR\n"
    "\n"
    "  --port N             port to listen on (default: any free port, printed at start)\n"
    "  --data DIR           folder of the server's database (default: the current folder)\n"
    "  --open-registration  create an unknown account at its first sign-in\n"
    "  --tls-cert FILE      serve HTTPS with this certificate (PEM) ...\n"
    "  --tls-key FILE       ... and this private key (PEM)\n"
    "  --listen ADDRESS     address to listen on (default 127.0.0.1)\n";

volatile std::sig_atomic_t g_stopRequested = 0;

void RequestStop(int)
{
    g_stopRequested = 1;
}

struct Arguments
{
    TServerOptions options;
    QStringList positional;
    bool help = false;
};

bool Parse(const QStringList &args, Arguments &out, QString &problem)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &name = args.at(i);
        const auto value = [&](QString &target) {
            if (i + 1 >= args.size()) {
                problem = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            target = args.at(++i);
            return true;
        };
        if (name == QLatin1String("--help")) {
            out.help = true;
        } else if (name == QLatin1String("--open-registration")) {
            out.options.openRegistration = true;
        } else if (name == QLatin1String("--port")) {
            QString text;
            if (!value(text))
                return false;
            bool ok = false;
            const uint port = text.toUInt(&ok);
            if (!ok || port > 65535) {
                problem = QStringLiteral("--port takes a number from 0 to 65535");
                return false;
            }
            out.options.port = quint16(port);
        } else if (name == QLatin1String("--data")) {
            if (!value(out.options.dataDir))
                return false;
        } else if (name == QLatin1String("--tls-cert")) {
            if (!value(out.options.tlsCert))
                return false;
        } else if (name == QLatin1String("--tls-key")) {
            if (!value(out.options.tlsKey))
                return false;
        } else if (name == QLatin1String("--listen")) {
            if (!value(out.options.listen))
                return false;
        } else if (name.startsWith(QLatin1String("--"))) {
            problem = QStringLiteral("unknown option %1").arg(name);
            return false;
        } else {
            out.positional << name;
        }
    }
    if (out.options.tlsCert.isEmpty() != out.options.tlsKey.isEmpty()) {
        problem = QStringLiteral("--tls-cert and --tls-key go together");
        return false;
    }
    return true;
}

int AddAccount(const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.positional.size() != 4 || arguments.options.dataDir.isEmpty()) {
        err << "vocamo-server: add-account needs ZONE PHONE PASSWORD and --data DIR\n" << kUsage;
        return 2;
    }
    TReferenceServer server(arguments.options);
    const QString &zone = arguments.positional.at(1);
    const QString &phone = arguments.positional.at(2);
    if (!server.addAccount(zone, phone, arguments.positional.at(3))) {
        err << "vocamo-server: the account " << zone << phone << " exists already or the store in "
            << arguments.options.dataDir << " cannot be written\n";
        return 1;
    }
    out << "account " << zone << phone << " added\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    Arguments arguments;
    QString problem;
    if (!Parse(app.arguments(), arguments, problem)) {
        err << "vocamo-server: " << problem << "\n" << kUsage;
        return 2;
    }
    if (arguments.help) {
        out << kUsage;
        return 0;
    }
    if (!arguments.positional.isEmpty()) {
        if (arguments.positional.first() == QLatin1String("add-account"))
            return AddAccount(arguments, out, err);
        err << "vocamo-server: unknown command " << arguments.positional.first() << "\n" << kUsage;
        return 2;
    }

    // Installed before the address is printed: whoever reads it may ask for a stop at once.
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    TReferenceServer server(arguments.options);
    QString error;
    if (!server.start(&error)) {
        err << "vocamo-server: " << error << "\n";
        return 1;
    }
    out << "vocamo-server: serving " << server.baseUrl() << "/linkkk/\n";
    out.flush();

    while (!g_stopRequested)
        QThread::msleep(100);
    server.stop();
    out << "vocamo-server: stopped\n";
    return 0;
}
