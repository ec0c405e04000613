// quenmar-pms-sim: a stand-in for the property management system's interface program, to
// try the workstation's PMS link from a terminal. It listens on a port, does the link start
// with whoever connects, sends one key request, key delete or key read, prints every record
// and the answer, and exits.
#include "pms/auth.h"
#include "pms/record.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void print(const char *direction, const pms::Record &r)
{
    const std::string bytes = pms::Encode(r);
    std::printf("%s %s\n", direction, bytes.substr(1, bytes.size() - 2).c_str());
    std::fflush(stdout);
}

pms::Record stamped(pms::Record r)
{
    const QDateTime now = QDateTime::currentDateTime();
    r.add("DA", now.toString(QStringLiteral("yyMMdd")).toStdString());
    r.add("TI", now.toString(QStringLiteral("HHmmss")).toStdString());
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quenmar-pms-sim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Stands in for the property management system: waits for the workstation "
                       "to connect, starts the link, sends one request and prints the answer.\n\n"
                       "Requests:\n"
                       "  new ROOM YYMMDD [HH:MM]   a new key (check-in) until that departure\n"
                       "  dup ROOM YYMMDD [HH:MM]   a duplicate key of the room's last card\n"
                       "  delete ROOM               end the room's stay (check-out)\n"
                       "  read                      read the card on the encoder"));
    parser.addHelpOption();
    const QCommandLineOption portOption("port", "Port to listen on (default 5010).", "port",
                                        "5010");
    const QCommandLineOption kcOption("kc", "Key coder number (default 1).", "number", "1");
    const QCommandLineOption wsOption("ws", "Workstation (default 1).", "id", "1");
    const QCommandLineOption nameOption("name", "Guest name.", "text");
    const QCommandLineOption resOption("reservation", "Reservation number.", "number");
    const QCommandLineOption userOption("user", "Issuing user.", "id");
    const QCommandLineOption keyOption(
        "key", "Authentication key (base64); the link description's CG is checked with it.", "key");
    const QCommandLineOption waitOption("timeout", "Seconds to wait in all (default 120).",
                                        "seconds", "120");
    const QCommandLineOption certOption(
        "tls-cert", "Speak TLS, showing this certificate (PEM file); needs --tls-key.", "file");
    const QCommandLineOption tlsKeyOption("tls-key", "The certificate's private key (PEM file).",
                                          "file");
    parser.addOptions({portOption, kcOption, wsOption, nameOption, resOption, userOption, keyOption,
                       waitOption, certOption, tlsKeyOption});
    parser.addPositionalArgument("request", "new, dup, delete or read, and its arguments.");
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    pms::Record request;
    request.add("KC", parser.value(kcOption).toStdString());
    request.add("WS", parser.value(wsOption).toStdString());
    if ((command == "new" || command == "dup") && (args.size() == 3 || args.size() == 4)) {
        request.id = "KR";
        request.add("KT", command == "new" ? "N" : "D");
        request.add("RN", args[1].toStdString());
        request.add("GD", args[2].toStdString());
        if (args.size() == 4)
            request.add("DT", args[3].toStdString());
        if (parser.isSet(nameOption))
            request.add("GN", parser.value(nameOption).toStdString());
        if (parser.isSet(userOption))
            request.add("ID", parser.value(userOption).toStdString());
    } else if (command == "delete" && args.size() == 2) {
        request.id = "KD";
        request.add("RN", args[1].toStdString());
    } else if (command == "read" && args.size() == 1) {
        request.id = "KZ";
    } else {
        std::fprintf(stderr, "quenmar-pms-sim: say new, dup, delete or read (see --help)\n");
        return 64;
    }
    if (parser.isSet(resOption))
        request.add("G#", parser.value(resOption).toStdString());
    request = stamped(request);

    std::optional<QByteArray> key;
    if (parser.isSet(keyOption)) {
        key = pms::AuthKeyFromText(parser.value(keyOption));
        if (!key) {
            std::fprintf(stderr, "quenmar-pms-sim: the key is no base64 AES-128 key\n");
            return 64;
        }
    }

    std::unique_ptr<QTcpServer> listener;
    if (parser.isSet(certOption) != parser.isSet(tlsKeyOption)) {
        std::fprintf(stderr, "quenmar-pms-sim: --tls-cert and --tls-key go together\n");
        return 64;
    }
    if (parser.isSet(certOption)) {
        auto readPem = [](const QString &path, QByteArray *bytes) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "quenmar-pms-sim: %s: %s\n", qPrintable(path),
                             qPrintable(f.errorString()));
                return false;
            }
            *bytes = f.readAll();
            return true;
        };
        QByteArray certPem, keyPem;
        if (!readPem(parser.value(certOption), &certPem) ||
            !readPem(parser.value(tlsKeyOption), &keyPem))
            return 66;
        const QSslCertificate certificate(certPem, QSsl::Pem);
        QSslKey key(keyPem, QSsl::Ec, QSsl::Pem);
        if (key.isNull())
            key = QSslKey(keyPem, QSsl::Rsa, QSsl::Pem);
        if (certificate.isNull() || key.isNull()) {
            std::fprintf(stderr, "quenmar-pms-sim: no PEM certificate and key in those files\n");
            return 65;
        }
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(certificate);
        configuration.setPrivateKey(key);
        auto *tls = new QSslServer;
        tls->setSslConfiguration(configuration);
        QObject::connect(tls, &QSslServer::errorOccurred, &app,
                         [](QSslSocket *socket, QAbstractSocket::SocketError) {
                             std::printf("TLS failed with %s: %s\n",
                                         qPrintable(socket->peerAddress().toString()),
                                         qPrintable(socket->errorString()));
                             std::fflush(stdout);
                         });
        listener.reset(tls);
        std::printf("TLS certificate SHA-256 %s\n",
                    certificate.digest(QCryptographicHash::Sha256).toHex(':').constData());
    } else {
        listener = std::make_unique<QTcpServer>();
    }
    QTcpServer &server = *listener;
    const quint16 port = quint16(parser.value(portOption).toUInt());
    if (!server.listen(QHostAddress::Any, port)) {
        std::fprintf(stderr, "quenmar-pms-sim: cannot listen on port %u: %s\n", port,
                     qPrintable(server.errorString()));
        return 69;
    }
    std::printf("listening on port %u; waiting for the workstation\n", server.serverPort());
    std::fflush(stdout);

    int exitCode = 3; // no answer in time
    QTimer::singleShot(parser.value(waitOption).toInt() * 1000, &app, [] {
        std::printf("no answer in time\n");
        QCoreApplication::exit(3);
    });

    QTcpSocket *peer = nullptr;
    pms::Reader reader;
    bool sent = false;
    std::string lastStamp;
    auto send = [&](const pms::Record &r) {
        print(">", r);
        const std::string bytes = pms::Encode(r);
        peer->write(bytes.data(), qint64(bytes.size()));
    };
    // A TLS connection becomes pending once its handshake is done.
    QObject::connect(&server, &QTcpServer::pendingConnectionAvailable, &app, [&] {
        if (peer)
            return;
        peer = server.nextPendingConnection();
        std::printf("connected: %s\n", qPrintable(peer->peerAddress().toString()));
        pms::Record ls;
        ls.id = "LS";
        ls = stamped(ls);
        lastStamp = "LS|DA" + ls.value("DA") + "|TI" + ls.value("TI") + "|";
        send(ls);
        QObject::connect(peer, &QTcpSocket::disconnected, &app, [&] {
            std::printf("the workstation closed the connection\n");
            QCoreApplication::exit(exitCode);
        });
        QObject::connect(peer, &QTcpSocket::readyRead, &app, [&] {
            const QByteArray bytes = peer->readAll();
            const auto out = reader.feed(std::string_view(bytes.constData(), bytes.size()),
                                         QDateTime::currentMSecsSinceEpoch());
            for (const std::string &problem : out.problems)
                std::printf("! %s\n", problem.c_str());
            for (const pms::Record &r : out.records) {
                print("<", r);
                if (r.id == "LD" && key) {
                    const auto opened =
                        pms::OpenStamp(*key, QByteArray::fromStdString(r.value("CG")));
                    const bool good = opened && opened->toStdString() == lastStamp;
                    std::printf("  CG %s\n", good ? "opens to our link start's stamp"
                                                  : "does not open to our link start's stamp");
                } else if (r.id == "LS") {
                    send(stamped(pms::Record{"LA", {}}));
                } else if (r.id == "LA" && !sent) {
                    sent = true;
                    send(request);
                } else if (sent && (r.id == "KA" || r.id == "KZ")) {
                    std::printf("answer: %s %s\n", r.value("AS").c_str(), r.value("CT").c_str());
                    std::fflush(stdout);
                    exitCode = r.value("AS") == "OK" ? 0 : 1;
                    peer->disconnect(&app);
                    peer->flush();
                    peer->close();
                    QCoreApplication::exit(exitCode);
                }
            }
            std::fflush(stdout);
        });
    });
    return app.exec();
}
