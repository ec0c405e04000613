// The property management system's interface: records, link control, and key requests
// carried out against the real card library in a temporary encoder folder.
#include "app/application.h"
#include "cards/bookkeeping.h"
#include "data/clock.h"
#include "data/settings.h"
#include "data/transaction.h"
#include "kestrune/kestrune.h"
#include "oplog/operationlog.h"
#include "pms/auth.h"
#include "pms/client.h"
#include "pms/keyservice.h"
#include "pms/link.h"
#include "pms/record.h"
#include "staffcards/checkcardform.h"
#include "support/testhotel.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <deque>
#include <memory>

using pms::Record;

namespace {

std::string framed(const std::string &body)
{
    return std::string(1, pms::kStx) + body + std::string(1, pms::kEtx);
}

Record rec(const std::string &id, std::initializer_list<std::pair<std::string, std::string>> f)
{
    Record r;
    r.id = id;
    for (const auto &[k, v] : f)
        r.add(k, v);
    return r;
}

QStringList ids(const std::vector<Record> &records)
{
    QStringList out;
    for (const Record &r : records)
        out << QString::fromStdString(r.id);
    return out;
}

// A hotel at 2024-05-02 18:30 with an encoder holding a blank card, and the key service of
// key coder 3.
struct PmsDesk
{
    TestHotel hotel;
    VirtualEncoder encoder;
    pms::KeyService service{{true, QStringLiteral("3"), QStringLiteral("pms")}};
    PmsDesk()
    {
        hotel.logOnAdministrator("amy");
        SetNow(QDateTime(QDate(2024, 5, 2), QTime(18, 30, 15)));
        LockSystemInfo.DayCount = 1;
        LockSystemInfo.LeaveTime = QTime(12, 0);
        LockSystemInfo.TimeTolerance = 0;
        encoder.connectOn(1, "0A0B0C0D");
        MakeCardOpenPort(1);
        encoder.putBlank();
        CardBusy = false;
        RoomBoardDirty = false;
    }
    Record send(const Record &request)
    {
        CardBusy = false;
        return service.handle(request);
    }
    int count(const QString &sql) { return hotel.scalar(sql).toInt(); }
    QString value(const QString &sql) { return hotel.scalar(sql).toString(); }
};

Record newKey(const std::string &room, const std::string &type = "N")
{
    return rec("KR", {{"KC", "3"},
                      {"KT", type},
                      {"RN", room},
                      {"WS", "9"},
                      {"GA", "240502"},
                      {"GD", "240504"},
                      {"DT", "11:00"},
                      {"GN", "Li Wei"},
                      {"G#", "12345"},
                      {"ID", "JDOE"}});
}

QString status(const Record &answer)
{
    return QString::fromStdString(answer.value("AS") + " " + answer.value("CT"));
}

// A self-signed certificate with its private key, made for the test.
struct TestCertificate
{
    QSslCertificate certificate;
    QSslKey key;
    QByteArray pem; // the certificate
};

TestCertificate MakeCertificate(const char *commonName)
{
    EVP_PKEY *pkey = EVP_EC_gen("P-256");
    X509 *x = X509_new();
    X509_set_version(x, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x), 1);
    X509_gmtime_adj(X509_getm_notBefore(x), -3600);
    X509_gmtime_adj(X509_getm_notAfter(x), 24 * 3600);
    X509_set_pubkey(x, pkey);
    X509_NAME *name = X509_get_subject_name(x);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char *>(commonName), -1, -1, 0);
    X509_set_issuer_name(x, name);
    X509_sign(x, pkey, EVP_sha256());
    auto pemOf = [](auto write) {
        BIO *bio = BIO_new(BIO_s_mem());
        write(bio);
        char *data = nullptr;
        const long size = BIO_get_mem_data(bio, &data);
        QByteArray bytes(data, int(size));
        BIO_free(bio);
        return bytes;
    };
    TestCertificate c;
    c.pem = pemOf([x](BIO *bio) { PEM_write_bio_X509(bio, x); });
    const QByteArray keyPem = pemOf([pkey](BIO *bio) {
        PEM_write_bio_PrivateKey(bio, pkey, nullptr, nullptr, 0, nullptr, nullptr);
    });
    X509_free(x);
    EVP_PKEY_free(pkey);
    c.certificate = QSslCertificate(c.pem, QSsl::Pem);
    c.key = QSslKey(keyPem, QSsl::Ec, QSsl::Pem);
    return c;
}

std::unique_ptr<QTcpServer> makeListener(const TestCertificate *tls)
{
    if (!tls)
        return std::make_unique<QTcpServer>();
    auto server = std::make_unique<QSslServer>();
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(tls->certificate);
    configuration.setPrivateKey(tls->key);
    server->setSslConfiguration(configuration);
    return server;
}

// The other side of the interface on loopback: takes one connection at a time, sends what
// the test says and collects the records that come back. With a certificate it speaks TLS,
// and a connection is taken once its handshake is done.
struct ScriptedPms
{
    std::unique_ptr<QTcpServer> listener;
    QTcpServer &server;
    QTcpSocket *peer = nullptr;
    pms::Reader reader;
    std::deque<Record> got;

    explicit ScriptedPms(const TestCertificate *tls = nullptr)
        : listener(makeListener(tls)), server(*listener)
    {
        server.listen(QHostAddress::LocalHost, 0);
    }
    bool accept(int ms = 5000)
    {
        if (!QTest::qWaitFor([&] { return server.hasPendingConnections(); }, ms))
            return false;
        peer = server.nextPendingConnection();
        reader.reset();
        got.clear();
        return true;
    }
    void send(const std::string &bytes)
    {
        peer->write(bytes.data(), qint64(bytes.size()));
        peer->flush();
    }
    void send(const Record &r) { send(pms::Encode(r)); }
    void pull()
    {
        if (!peer)
            return;
        const QByteArray bytes = peer->readAll();
        for (Record &r : reader.feed(std::string_view(bytes.constData(), bytes.size()), 0).records)
            got.push_back(std::move(r));
    }
    // The next `n` records, waiting for them; fewer when they do not come in time.
    std::vector<Record> take(std::size_t n, int ms = 10000)
    {
        (void)QTest::qWaitFor(
            [&] {
                pull();
                return got.size() >= n;
            },
            ms);
        std::vector<Record> out;
        while (!got.empty() && out.size() < n) {
            out.push_back(got.front());
            got.pop_front();
        }
        return out;
    }
    Record next(int ms = 10000)
    {
        const auto one = take(1, ms);
        return one.empty() ? Record{} : one[0];
    }
};

pms::Client::Options clientOptions(const ScriptedPms &pms, const QString &logPath)
{
    pms::Client::Options o;
    o.host = QStringLiteral("127.0.0.1");
    o.port = pms.server.serverPort();
    o.service = {true, QStringLiteral("3"), QStringLiteral("pms")};
    o.logPath = logPath;
    o.version = QStringLiteral("16.0");
    o.firstPauseMs = 100;
    return o;
}

Record pmsLinkStart()
{
    return rec("LS", {{"DA", "240502"}, {"TI", "182959"}});
}

} // namespace

class TestPms : public QObject
{
    Q_OBJECT
private slots:
    void readerTakesRecordsFromAnyPieces();
    void readerDropsBadInput();
    void encodeKeepsValuesInsideTheirField();
    void linkStart();
    void linkDropsDataUntilAliveAndStartsItself();
    void authenticationStamp();

    void newKeyChecksIn();
    void duplicateKeepsTheSerial();
    void refusedRequestsWriteNothing();
    void busyAndSwitchedOff();
    void keyDeleteEndsTheStay();
    void keyReadReadsTheCardBack();
    void keyCoderAndDepartureLimits();

    void clientOverLoopback();
    void clientReconnectsAndStartsTheLink();
    void clientAuthenticates();
    void requestsWaitForADeskCommand();
    void clientLogsAFloodOfBadInputOnce();
    void clientOverTlsServesOnlyThePinnedPeer();
    void peerCertificateSetting();
};

void TestPms::readerTakesRecordsFromAnyPieces()
{
    const std::string two = framed("KA|WS9|KC3|ASOK|G#12345|") + framed("LA|DA240502|TI183000|");
    // Whole, byte by byte, and split in the middle of a record and between the two.
    for (const std::size_t piece : {two.size(), std::size_t(1), std::size_t(7), std::size_t(27)}) {
        pms::Reader reader;
        std::vector<Record> got;
        for (std::size_t i = 0; i < two.size(); i += piece) {
            auto out = reader.feed(std::string_view(two).substr(i, piece), 0);
            QVERIFY(out.problems.empty());
            got.insert(got.end(), out.records.begin(), out.records.end());
        }
        QCOMPARE(ids(got), (QStringList{"KA", "LA"}));
        QCOMPARE(got[0].value("AS"), std::string("OK"));
        QCOMPARE(got[0].value("G#"), std::string("12345"));
        QCOMPARE(got[1].value("TI"), std::string("183000"));
    }

    // Field order is free, unknown fields stay, blanks and leading zeros are kept, a last
    // field without its "|" counts, and a one-character piece is no field.
    const auto r = pms::ParseBody("KR|XXy|RN 0101|K|KTN");
    QVERIFY(r);
    QCOMPARE(r->value("RN"), std::string(" 0101"));
    QCOMPARE(r->value("KT"), std::string("N"));
    QCOMPARE(r->value("XX"), std::string("y"));
    QCOMPARE(r->fields.size(), std::size_t(3));
}

void TestPms::readerDropsBadInput()
{
    const std::string good = framed("LA|");
    struct Case
    {
        const char *name;
        std::string input;
        int records;
        int problems;
    } cases[] = {
        {"garbage before", "junk\r\n" + good, 1, 1},
        {"control byte inside",
         framed("KR|RN1\x01"
                "01|") +
             good,
         1, 1},
        {"DEL inside", framed("KR|RN\x7f|") + good, 1, 1},
        {"new STX before ETX", "\x02KR|RN101|" + good, 1, 1},
        {"no record id", framed("K|") + framed("KRRN|") + good, 1, 2},
        {"over-long", framed("KR|GN" + std::string(pms::kMaxRecordLength, 'x') + "|") + good, 1, 1},
        {"exactly the longest", framed("KR|" + std::string(pms::kMaxRecordLength - 3, 'x')), 1, 0},
        {"high bytes are text", framed("KR|GN\xc3\xa9|"), 1, 0},
    };
    for (const Case &c : cases) {
        pms::Reader reader;
        const auto out = reader.feed(c.input, 0);
        QVERIFY2(int(out.records.size()) == c.records, c.name);
        QVERIFY2(int(out.problems.size()) == c.problems, c.name);
    }

    // A record without its end is dropped after 30 s, its rest skipped up to the next STX.
    pms::Reader reader;
    QVERIFY(reader.feed("\x02KR|RN101|", 1000).records.empty());
    QVERIFY(reader.tick(1000 + pms::kRecordTimeoutMs).problems.empty());
    QCOMPARE(reader.tick(1001 + pms::kRecordTimeoutMs).problems.size(), std::size_t(1));
    const auto out = reader.feed("GN x|\x03" + good, 40000);
    QCOMPARE(ids(out.records), QStringList{"LA"});
    QVERIFY(out.problems.empty());
}

void TestPms::encodeKeepsValuesInsideTheirField()
{
    const Record r = rec("KA", {{"CT", "a|b\x03"
                                       "c"},
                                {"WS", "9"}});
    const std::string bytes = pms::Encode(r);
    QCOMPARE(bytes, framed("KA|CTa b c|WS9|"));
    pms::Reader reader;
    const auto out = reader.feed(bytes, 0);
    QCOMPARE(out.records.size(), std::size_t(1));
    QCOMPARE(out.records[0].value("WS"), std::string("9"));
}

namespace {
pms::Link::Config linkConfig()
{
    pms::Link::Config c;
    c.version = "16.0";
    c.stamp = [] { return std::pair<std::string, std::string>("240502", "183015"); };
    return c;
}
} // namespace

void TestPms::linkStart()
{
    pms::Link link(linkConfig());
    link.connected(0);
    QCOMPARE(link.state(), pms::Link::State::Starting);
    const auto step = link.received(rec("LS", {{"DA", "240502"}, {"TI", "183000"}}));
    QCOMPARE(ids(step.send), (QStringList{"LD", "LR", "LR", "LR", "LR", "LA"}));
    QCOMPARE(link.state(), pms::Link::State::Alive);
    const Record &ld = step.send[0];
    QCOMPARE(ld.value("IF"), std::string("DL"));
    QCOMPARE(ld.value("V#"), std::string("16.0"));
    QCOMPARE(ld.value("DA"), std::string("240502"));
    QCOMPARE(ld.value("TI"), std::string("183015"));
    QVERIFY(!ld.field("CG"));
    QStringList described;
    for (int i = 1; i <= 4; ++i)
        described << QString::fromStdString(step.send[i].value("RI") + ":" +
                                            step.send[i].value("FL"));
    QCOMPARE(described, (QStringList{"KR:KCKTRNWSGAGDDTGNG#IDDATI", "KD:KCRNWSG#DATI",
                                     "KA:ASCTKCWSG#DATI", "KZ:KCWSRNGNGDDTASCTDATI"}));

    // Link alive is answered, data records pass, unknown ones are dropped with a line.
    QCOMPARE(ids(link.received(rec("LA", {})).send), QStringList{"LA"});
    QVERIFY(link.received(rec("KR", {{"RN", "101"}})).data);
    const auto unknown = link.received(rec("XY", {}));
    QVERIFY(!unknown.data && unknown.send.empty() && !unknown.problem.empty());

    // Link end takes the link down until the next start; the connection dropping too.
    link.received(rec("LE", {}));
    QCOMPARE(link.state(), pms::Link::State::Starting);
    QVERIFY(!link.received(rec("KD", {})).data);
    link.received(rec("LS", {}));
    QCOMPARE(link.state(), pms::Link::State::Alive);
    link.disconnected();
    QCOMPARE(link.state(), pms::Link::State::Down);
    QVERIFY(link.received(rec("LS", {})).send.empty());
}

void TestPms::linkDropsDataUntilAliveAndStartsItself()
{
    pms::Link link(linkConfig());
    link.connected(10000);
    const auto early = link.received(rec("KR", {{"RN", "101"}}));
    QVERIFY(!early.data);
    QVERIFY(!early.problem.empty());
    // Having heard something, no link start of our own.
    QVERIFY(link.tick(20000).empty());

    link.connected(10000);
    QVERIFY(link.tick(10000 + pms::Link::kStartDelayMs - 1).empty());
    const auto ls = link.tick(10000 + pms::Link::kStartDelayMs);
    QCOMPARE(ids(ls), QStringList{"LS"});
    QCOMPARE(ls[0].value("DA"), std::string("240502"));
    QVERIFY(link.tick(20000).empty()); // only once per connection
    // The other side answers with its link alive: ours follows with the description.
    QCOMPARE(ids(link.received(rec("LA", {})).send),
             (QStringList{"LD", "LR", "LR", "LR", "LR", "LA"}));
    QCOMPARE(link.state(), pms::Link::State::Alive);
}

void TestPms::authenticationStamp()
{
    pms::Link::Config c = linkConfig();
    std::string seen;
    c.authenticate = [&seen](const std::string &stamp) {
        seen = stamp;
        return std::string("FidCryptAB;sealed");
    };
    pms::Link link(c);
    link.connected(0);
    const auto step = link.received(rec("LS", {{"DA", "240502"}, {"TI", "183000"}}));
    QCOMPARE(seen, std::string("LS|DA240502|TI183000|"));
    QCOMPARE(step.send[0].value("RT"), std::string("LS"));
    QCOMPARE(step.send[0].value("CG"), std::string("FidCryptAB;sealed"));
}

void TestPms::newKeyChecksIn()
{
    PmsDesk desk;
    LockSystemInfo.TimeTolerance = 10;
    desk.hotel.exec("update RoomInfo set CardSn=6 where RoomStr='203'");
    const std::string longName(80, 'n');
    Record request = newKey("203");
    request.fields[7].second = longName;
    const Record answer = desk.send(request);
    QCOMPARE(QString::fromStdString(answer.id), QStringLiteral("KA"));
    QCOMPARE(status(answer), QStringLiteral("OK OK"));
    QCOMPARE(answer.value("WS"), std::string("9"));
    QCOMPARE(answer.value("KC"), std::string("3"));
    QCOMPARE(answer.value("G#"), std::string("12345"));
    QCOMPARE(answer.value("DA"), std::string("240502"));
    QCOMPARE(answer.value("TI"), std::string("183015"));

    const auto card = desk.encoder.show();
    QCOMPARE(card.value("Serial"), QStringLiteral("7 0 0 0"));
    QCOMPARE(card.value("Start"), QStringLiteral("2024-05-02 18:40"));
    QCOMPARE(card.value("End"), QStringLiteral("2024-05-04 11:10"));
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='203'"), 7);
    QCOMPARE(desk.value("select GuestName from GuestInRecord where enOverride=0 and RoomStr='203'"),
             QString(50, 'n'));
    QCOMPARE(desk.value("select GuestLeaveTime from GuestInRecord"),
             QStringLiteral("2024-05-04 11:10:00"));
    QCOMPARE(desk.value("select InputUser || '/' || MakeName from GuestInRecord"),
             QStringLiteral("JDOE/PMS 9"));
    QCOMPARE(desk.value("select Explain || '/' || MakeUser || '/' || MakeName from MakeCardRecord"),
             QStringLiteral("PMS reservation 12345/JDOE/PMS 9"));
    QVERIFY(RoomBoardDirty);
    // The logged-on operator is back.
    QCOMPARE(LockSystemInfo.Staffer, QStringLiteral("amy"));

    // A second new key for the room, without ID or DT: one more card on the open stay, the
    // configured user, the configured leave time.
    desk.encoder.putBlank();
    Record again =
        rec("KR", {{"KC", "03"}, {"KT", "N"}, {"RN", "203"}, {"WS", "9"}, {"GD", "240503"}});
    QCOMPARE(status(desk.send(again)), QStringLiteral("OK OK"));
    QCOMPARE(desk.encoder.show().value("End"), QStringLiteral("2024-05-03 12:10"));
    QCOMPARE(desk.count("select CardCounts from GuestInRecord"), 1);
    QCOMPARE(desk.count("select count(*) from MakeCardRecord where MakeUser='pms' and "
                        "Explain='' and Rom='01020300000008'"),
             1);
    LockSystemInfo.TimeTolerance = 0;
}

void TestPms::duplicateKeepsTheSerial()
{
    PmsDesk desk;
    QCOMPARE(status(desk.send(newKey("105"))), QStringLiteral("OK OK"));
    desk.encoder.putBlank();
    QCOMPARE(status(desk.send(newKey("105", "D"))), QStringLiteral("OK OK"));
    QCOMPARE(desk.encoder.show().value("Serial"), QStringLiteral("1 0 0 0"));
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='105'"), 1);
    QCOMPARE(desk.count("select count(*) from MakeCardRecord where Rom='01010500000001' and "
                        "Holder='Li Wei' and Explain='PMS reservation 12345'"),
             2);
    QCOMPARE(desk.count("select count(*) from GuestInRecord"), 1);
    QCOMPARE(desk.count("select CardCounts from GuestInRecord"), 0);
}

void TestPms::refusedRequestsWriteNothing()
{
    PmsDesk desk;
    auto with = [](Record r, const std::string &field, const std::string &value) {
        for (auto &f : r.fields)
            if (f.first == field)
                f.second = value;
        return r;
    };
    struct Case
    {
        Record request;
        const char *expected;
    } cases[] = {
        {newKey("999"), "NG INVALID ROOM"},
        {newKey("101", "O"), "UR unsupported key type"},
        {newKey("101", "X"), "UR unsupported key type"},
        {with(newKey("101"), "KC", "4"), "UR not our key coder"},
        {with(newKey("101"), "KC", ""), "UR not our key coder"},
        {with(newKey("101"), "GD", "240231"), "UR invalid departure date"},
        {with(newKey("101"), "GD", "2405"), "UR invalid departure date"},
        {with(newKey("101"), "GD", "240501"), "UR departure before today"},
        {with(newKey("101"), "DT", "25:00"), "UR invalid departure time"},
        {rec("KM", {{"KC", "3"}, {"RN", "101"}}), "UR not supported"},
    };
    for (const Case &c : cases)
        QCOMPARE(status(desk.send(c.request)), QString::fromLatin1(c.expected));
    QVERIFY(!desk.encoder.show().contains("CardType")); // still blank

    desk.encoder.take();
    const Record noCard = desk.send(newKey("101"));
    QCOMPARE(status(noCard), QStringLiteral("UR No Card!"));
    desk.encoder.run({"disconnect"});
    QCOMPARE(status(desk.send(newKey("101"))), QStringLiteral("UR No encoder"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord") +
                 desk.count("select count(*) from MakeCardRecord") +
                 desk.count("select sum(CardSn) from RoomInfo"),
             0);
    QVERIFY(!RoomBoardDirty);
}

void TestPms::busyAndSwitchedOff()
{
    PmsDesk desk;
    for (const Record &request : {newKey("101"), rec("KD", {{"KC", "3"}, {"RN", "101"}}),
                                  rec("KZ", {{"KC", "3"}, {"WS", "9"}})}) {
        CardBusy = true;
        const Record answer = desk.service.handle(request);
        QCOMPARE(answer.value("AS"), std::string("BY"));
    }
    // A request's own card command is over when it is answered; a form's stays busy.
    CardBusy = false;
    QCOMPARE(desk.service.handle(newKey("101")).value("AS"), std::string("OK"));
    QVERIFY(!CardBusy);
    CardBusy = true;
    desk.service.handle(newKey("101"));
    QVERIFY(CardBusy);

    CardBusy = false;
    pms::KeyService off({false, QStringLiteral("3"), QString()});
    QCOMPARE(off.handle(newKey("101")).value("AS"), std::string("DN"));
    QCOMPARE(off.handle(rec("KZ", {})).value("AS"), std::string("DN"));
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 1);
}

void TestPms::keyDeleteEndsTheStay()
{
    PmsDesk desk;
    QCOMPARE(status(desk.send(newKey("101"))), QStringLiteral("OK OK"));
    RoomBoardDirty = false;
    const Record del = rec("KD", {{"KC", "3"}, {"RN", "101"}, {"WS", "9"}, {"G#", "12345"}});
    const Record answer = desk.send(del);
    QCOMPARE(QString::fromStdString(answer.id), QStringLiteral("KA"));
    QCOMPARE(status(answer), QStringLiteral("OK OK"));
    QCOMPARE(answer.value("G#"), std::string("12345"));
    QCOMPARE(desk.value("select enOverride || ' ' || LeaveTime from GuestInRecord"),
             QStringLiteral("1 2024-05-02 18:30:15"));
    QVERIFY(RoomBoardDirty);
    // No open stay left, and a room that does not exist.
    QCOMPARE(status(desk.send(del)), QStringLiteral("NG INVALID ROOM"));
    QCOMPARE(status(desk.send(rec("KD", {{"KC", "3"}, {"RN", "999"}}))),
             QStringLiteral("NG INVALID ROOM"));
}

void TestPms::keyReadReadsTheCardBack()
{
    PmsDesk desk;
    QCOMPARE(status(desk.send(newKey("203"))), QStringLiteral("OK OK"));
    const Record read = desk.send(rec("KZ", {{"KC", "3"}, {"WS", "9"}}));
    QCOMPARE(QString::fromStdString(read.id), QStringLiteral("KZ"));
    QCOMPARE(status(read), QStringLiteral("OK OK"));
    QCOMPARE(read.value("RN"), std::string("203"));
    QCOMPARE(read.value("GN"), std::string("Li Wei"));
    QCOMPARE(read.value("GD"), std::string("240504"));
    QCOMPARE(read.value("DT"), std::string("11:00"));
    QCOMPARE(read.value("WS"), std::string("9"));

    desk.encoder.putBlank();
    QCOMPARE(desk.send(rec("KZ", {{"KC", "3"}})).value("AS"), std::string("NG"));
    desk.encoder.take();
    QCOMPARE(status(desk.send(rec("KZ", {{"KC", "3"}}))), QStringLiteral("UR No Card!"));
}

void TestPms::clientOverLoopback()
{
    PmsDesk desk;
    ScriptedPms scripted;
    const QString logPath = desk.hotel.dir() + "/pms.log";
    pms::Client client(clientOptions(scripted, logPath));
    QSignalSpy states(&client, &pms::Client::stateChanged);
    client.start();
    QVERIFY(scripted.accept());
    QCOMPARE(client.state(), pms::Client::State::Connecting);

    scripted.send(pmsLinkStart());
    const auto answer = scripted.take(6);
    QCOMPARE(ids(answer), (QStringList{"LD", "LR", "LR", "LR", "LR", "LA"}));
    QCOMPARE(answer[0].value("IF"), std::string("DL"));
    QVERIFY(!answer[0].field("CG"));
    QCOMPARE(client.state(), pms::Client::State::Linked);
    QCOMPARE(states.last().at(0).value<pms::Client::State>(), pms::Client::State::Linked);

    // A key request in three pieces.
    const std::string request = pms::Encode(newKey("203"));
    CardBusy = false;
    scripted.send(request.substr(0, 5));
    QTest::qWait(50);
    scripted.send(request.substr(5, 20));
    QTest::qWait(50);
    scripted.send(request.substr(25));
    const Record ka = scripted.next();
    QCOMPARE(QString::fromStdString(ka.id), QStringLiteral("KA"));
    QCOMPARE(status(ka), QStringLiteral("OK OK"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord where enOverride=0 and RoomStr='203'"),
             1);

    // Garbage, a byte out of range, an over-long record and an unknown record, then a read
    // and a delete in one write: the two are answered in order, nothing else is.
    CardBusy = false;
    scripted.send("noise" + framed("KR|RN\x01") + framed("KR|GN" + std::string(9000, 'x')) +
                  framed("QQ|") + pms::Encode(rec("KZ", {{"KC", "3"}, {"WS", "9"}})) +
                  pms::Encode(rec("KD", {{"KC", "3"}, {"RN", "203"}, {"WS", "9"}})));
    const auto two = scripted.take(2);
    QCOMPARE(ids(two), (QStringList{"KZ", "KA"}));
    QCOMPARE(two[0].value("RN"), std::string("203"));
    QCOMPARE(status(two[1]), QStringLiteral("OK OK"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord where enOverride=0"), 0);
    scripted.send(rec("LA", {}));
    QCOMPARE(ids(scripted.take(1)), QStringList{"LA"});
    QVERIFY(scripted.got.empty());
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 1);

    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString lines = QString::fromUtf8(log.readAll());
    // The bad input came in one burst: its first piece is logged, the rest counted later.
    for (const char *expected :
         {"byte(s) outside any record skipped", "< KR|KC3|KTN|RN203|", "> KA|WS9|KC3|G#12345|"})
        QVERIFY2(lines.contains(QLatin1String(expected)), expected);
    QVERIFY(!lines.contains("unknown record QQ dropped"));

    // The operation log has the link coming up and each request with its answer.
    const QStringList logged =
        desk.hotel
            .scalar("select group_concat(line, char(10)) from (select Action || '|' || Room || "
                    "'|' || Detail as line from OperationLog where Staffer='PMS' order by ID)")
            .toString()
            .split('\n');
    QCOMPARE(logged.size(), 4);
    QCOMPARE(logged[0], QStringLiteral("PMS_LINK||linked"));
    QVERIFY2(logged[1].startsWith("PMS|203|KR|KC3|KTN|RN203|") && logged[1].contains(" -> KA|"),
             qPrintable(logged[1]));
    QVERIFY2(logged[2].startsWith("PMS||KZ|KC3|WS9") && logged[2].contains(" -> KZ|"),
             qPrintable(logged[2]));
    QVERIFY2(logged[3].startsWith("PMS|203|KD|") && logged[3].contains("-> KA|"),
             qPrintable(logged[3]));
}

void TestPms::clientReconnectsAndStartsTheLink()
{
    PmsDesk desk;
    ScriptedPms scripted;
    pms::Client client(clientOptions(scripted, desk.hotel.dir() + "/pms.log"));
    client.start();
    QVERIFY(scripted.accept());
    scripted.send(pmsLinkStart());
    QCOMPARE(scripted.take(6).size(), std::size_t(6));
    QCOMPARE(client.state(), pms::Client::State::Linked);

    // The other side drops the connection: down, then a new connection.
    scripted.peer->close();
    QVERIFY(QTest::qWaitFor([&] { return client.state() != pms::Client::State::Linked; }));
    QVERIFY(scripted.accept());
    QVERIFY(QTest::qWaitFor([&] { return client.state() == pms::Client::State::Connecting; }));
    // Silence for 3 s: the link start comes from the workstation.
    const Record ls = scripted.next(6000);
    QCOMPARE(QString::fromStdString(ls.id), QStringLiteral("LS"));
    QCOMPARE(ls.value("DA"), std::string("240502"));
    // A key request before the link is up is not processed.
    CardBusy = false;
    scripted.send(newKey("101"));
    scripted.send(rec("LA", {}));
    QCOMPARE(ids(scripted.take(6)), (QStringList{"LD", "LR", "LR", "LR", "LR", "LA"}));
    QCOMPARE(client.state(), pms::Client::State::Linked);
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 0);

    // Nobody listening: the client keeps trying with a growing pause.
    scripted.server.close();
    scripted.peer->close();
    QVERIFY(QTest::qWaitFor([&] { return client.state() == pms::Client::State::Down; }));
}

void TestPms::clientAuthenticates()
{
    PmsDesk desk;
    const QString keyText = QStringLiteral("FidCrypt0S|AAECAwQFBgcICQoLDA0ODw==");
    const std::optional<QByteArray> key = pms::AuthKeyFromText(keyText);
    QVERIFY(key);
    QCOMPARE(key->toHex(), QByteArray("000102030405060708090a0b0c0d0e0f"));
    QVERIFY(!pms::AuthKeyFromText("AAECAwQFBgcICQoLDA0O"));
    QVERIFY(!pms::AuthKeyFromText("not base64!"));

    ScriptedPms scripted;
    pms::Client::Options options = clientOptions(scripted, QString());
    options.authKey = key;
    pms::Client client(options);
    client.start();
    QVERIFY(scripted.accept());
    scripted.send(pmsLinkStart());
    const Record ld = scripted.next();
    QCOMPARE(ld.value("RT"), std::string("LS"));
    const QByteArray cg = QByteArray::fromStdString(ld.value("CG"));
    QVERIFY(cg.startsWith("FidCryptAB;"));
    QCOMPARE(pms::OpenStamp(*key, cg), std::optional<QByteArray>("LS|DA240502|TI182959|"));
    // A fresh IV each time: the same stamp seals differently.
    QVERIFY(pms::SealStamp(*key, "LS|DA240502|TI182959|") !=
            pms::SealStamp(*key, "LS|DA240502|TI182959|"));
    QVERIFY(pms::OpenStamp(QByteArray(16, 'k'), cg) !=
            std::optional<QByteArray>("LS|DA240502|TI182959|"));
}

void TestPms::keyCoderAndDepartureLimits()
{
    PmsDesk desk;
    QCOMPARE(status(desk.send(newKey("101"))), QStringLiteral("OK OK"));
    // Another key coder's delete and read are refused as its key requests are.
    for (const Record &request :
         {rec("KD", {{"KC", "4"}, {"RN", "101"}}), rec("KD", {{"RN", "101"}}),
          rec("KZ", {{"KC", "4"}}), rec("KZ", {})})
        QCOMPARE(status(desk.send(request)), QStringLiteral("UR not our key coder"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord where enOverride=0"), 1);

    // Today is 2024-05-02: 366 days ahead is the furthest departure a key may carry.
    auto until = [](const std::string &room, const std::string &departure) {
        Record r = newKey(room);
        for (auto &f : r.fields)
            if (f.first == "GD")
                f.second = departure;
        return r;
    };
    for (const char *departure : {"250504", "991231"})
        QCOMPARE(status(desk.send(until("102", departure))),
                 QStringLiteral("UR departure more than 366 days ahead"));
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 1);
    desk.encoder.putBlank();
    QCOMPARE(status(desk.send(until("102", "250503"))), QStringLiteral("OK OK"));

    // The limit is a setting.
    desk.hotel.writeIni("[PMS]\nMaxKeyDays=7\n");
    TPmsSettings settings;
    ReadPmsSettings(settings);
    QCOMPARE(settings.MaxKeyDays, 7);
    desk.hotel.writeIni("[PMS]\n");
    ReadPmsSettings(settings);
    QCOMPARE(settings.MaxKeyDays, 366);
    pms::KeyService week({true, QStringLiteral("3"), QString(), 7});
    CardBusy = false;
    QCOMPARE(status(week.handle(until("103", "240510"))),
             QStringLiteral("UR departure more than 7 days ahead"));
}

void TestPms::clientLogsAFloodOfBadInputOnce()
{
    PmsDesk desk;
    ScriptedPms scripted;
    const QString logPath = desk.hotel.dir() + "/pms.log";
    pms::Client::Options options = clientOptions(scripted, logPath);
    options.badInputBurstMs = 500;
    pms::Client client(options);
    client.start();
    QVERIFY(scripted.accept());
    scripted.send(pmsLinkStart());
    QCOMPARE(scripted.take(6).size(), std::size_t(6));
    // A flood of unknown records and garbage, many times what the log would hold: 30000
    // pieces of bad input.
    std::string flood;
    for (int i = 0; i < 3000; ++i)
        flood += framed("QQ|") + "junk";
    for (int i = 0; i < 5; ++i)
        scripted.send(flood);
    // The burst is logged by its first piece and, once it is over, a count of the rest:
    // a handful of lines for tens of thousands of pieces.
    const QRegularExpression more(QStringLiteral("(\\d+) more pieces of bad input in this burst"));
    int counted = 0, lineCount = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile log(logPath);
            if (!log.open(QIODevice::ReadOnly))
                return false;
            const QString lines = QString::fromUtf8(log.readAll());
            lineCount = int(lines.count('\n'));
            counted = 0;
            for (auto m = more.globalMatch(lines); m.hasNext();)
                counted += m.next().captured(1).toInt();
            return counted >= 15000;
        }(),
        30000);
    QVERIFY2(lineCount < 40, qPrintable(QString::number(lineCount)));
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("connected to 127.0.0.1")); // the earlier entries stay
    QVERIFY(!QFile::exists(logPath + ".1"));
}

void TestPms::clientOverTlsServesOnlyThePinnedPeer()
{
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS backend");
    PmsDesk desk;
    const TestCertificate ours = MakeCertificate("pms.hotel.test");
    const TestCertificate other = MakeCertificate("pms.hotel.test");
    QVERIFY(!ours.key.isNull() && !other.key.isNull());
    const QString logPath = desk.hotel.dir() + "/pms.log";
    auto tlsOptions = [&](const ScriptedPms &scripted) {
        pms::Client::Options o = clientOptions(scripted, logPath);
        o.tls = true;
        o.peerSha256 = ours.certificate.digest(QCryptographicHash::Sha256);
        return o;
    };
    // The PMS with the configured certificate is served.
    {
        ScriptedPms scripted(&ours);
        pms::Client client(tlsOptions(scripted));
        client.start();
        QVERIFY(scripted.accept());
        scripted.send(pmsLinkStart());
        QCOMPARE(ids(scripted.take(6)), (QStringList{"LD", "LR", "LR", "LR", "LR", "LA"}));
        QCOMPARE(client.state(), pms::Client::State::Linked);
        CardBusy = false;
        scripted.send(newKey("203"));
        QCOMPARE(status(scripted.next()), QStringLiteral("OK OK"));
    }
    QCOMPARE(desk.count("select count(*) from GuestInRecord where RoomStr='203'"), 1);

    // One with another certificate, and one that speaks no TLS: refused before any record
    // is read, the refusal logged, the link down.
    for (const bool plain : {false, true}) {
        QFile::remove(logPath);
        ScriptedPms scripted(plain ? nullptr : &other);
        pms::Client client(tlsOptions(scripted));
        QSignalSpy states(&client, &pms::Client::stateChanged);
        client.start();
        if (plain) {
            QVERIFY(scripted.accept());
            scripted.send(pmsLinkStart());
            scripted.send(newKey("204"));
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QFile log(logPath);
                return log.open(QIODevice::ReadOnly) && log.readAll().contains("TLS peer refused");
            }(),
            20000);
        auto seen = [&](pms::Client::State wanted) {
            return std::any_of(states.begin(), states.end(), [wanted](const QVariantList &s) {
                return s.at(0).value<pms::Client::State>() == wanted;
            });
        };
        QTRY_VERIFY(seen(pms::Client::State::Down));
        QVERIFY(!seen(pms::Client::State::Linked));
        QCOMPARE(pms::Client::StateText(pms::Client::State::Down), QStringLiteral("PMS: down"));
        if (plain)
            QVERIFY(scripted.take(1, 500).empty()); // no link description went out
        else
            QVERIFY(!scripted.server.hasPendingConnections());
        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray lines = log.readAll();
        QVERIFY(!lines.contains("< "));
        if (!plain)
            QVERIFY2(
                lines.contains(other.certificate.digest(QCryptographicHash::Sha256).toHex(':')),
                lines.constData());
    }
    QCOMPARE(desk.count("select count(*) from GuestInRecord where RoomStr='204'"), 0);
}

void TestPms::peerCertificateSetting()
{
    TestHotel hotel;
    const TestCertificate c = MakeCertificate("pms.hotel.test");
    const QByteArray digest = c.certificate.digest(QCryptographicHash::Sha256);
    {
        QFile pem(hotel.dir() + "/pms.pem");
        QVERIFY(pem.open(QIODevice::WriteOnly));
        pem.write(c.pem);
    }
    QFile::copy(hotel.dir() + "/pms.pem", hotel.dir() + "/DB/pms.pem");
    QString why;
    for (const QString &setting :
         {hotel.dir() + "/pms.pem", QStringLiteral("DB/pms.pem"),
          QString::fromLatin1(digest.toHex()), QString::fromLatin1(digest.toHex(':').toUpper())})
        QCOMPARE(pms::PeerDigestFromSetting(setting, &why), std::optional<QByteArray>(digest));
    for (const QString &setting : {QStringLiteral("missing.pem"), QStringLiteral("DB/lock.mdb"),
                                   QString::fromLatin1(digest.toHex().left(62))}) {
        why.clear();
        QVERIFY(!pms::PeerDigestFromSetting(setting, &why));
        QVERIFY(!why.isEmpty());
    }
    // A setting that names no certificate keeps the link from starting at all.
    hotel.writeIni("[PMS]\nEnabled=1\nPort=5010\nTls=1\nPeerCertificate=missing.pem\n");
    QString problem;
    QObject parent;
    QVERIFY(!pms::StartConfiguredClient(&parent, &problem));
    QCOMPARE(problem, QStringLiteral("PMS: bad PeerCertificate"));
}

void TestPms::requestsWaitForADeskCommand()
{
    PmsDesk desk;
    QCOMPARE(status(desk.send(newKey("101"))), QStringLiteral("OK OK"));
    ScriptedPms scripted;
    pms::Client client(clientOptions(scripted, desk.hotel.dir() + "/pms.log"));
    client.start();
    QVERIFY(scripted.accept());
    scripted.send(pmsLinkStart());
    QCOMPARE(scripted.take(6).size(), std::size_t(6));
    QCOMPARE(client.state(), pms::Client::State::Linked);

    // A desk revoke of room 101's card asks whether the stay ends. While it asks, the main
    // window's timer has cleared CardBusy and the link's socket is handled: a new key and a
    // key delete are answered busy and change nothing.
    QStringList answered;
    desk.hotel.dialogs.whileShown = [&](const ScriptedDialogs::Shown &) {
        CardBusy = false;
        for (const Record &request : {newKey("102"), rec("KD", {{"KC", "3"}, {"RN", "101"}})}) {
            scripted.send(request);
            answered << status(scripted.next());
        }
    };
    TCheckCardForm form;
    form.OpenForRevoking();
    CardBusy = false;
    child<QPushButton>(&form, "Register_Bt")->click();
    QCOMPARE(answered, (QStringList{"BY encoder busy", "BY encoder busy"}));
    QCOMPARE(desk.hotel.dialogs.messages.size(), 1);
    QCOMPARE(child<QLabel>(&form, "Prompt_Label")->text(), QStringLiteral("Success!"));
    QCOMPARE(desk.encoder.run({"show"}).trimmed(), QStringLiteral("blank card"));
    QCOMPARE(desk.count("select count(*) from GuestInRecord where enOverride=0"), 0);
    QCOMPARE(desk.count("select count(*) from GuestInRecord where RoomStr='102'"), 0);
    QCOMPARE(desk.count("select count(*) from MakeCardRecord"), 1);
    QCOMPARE(desk.count("select CardSn from RoomInfo where RoomStr='102'"), 0);

    // Once the command is over and the timer has ticked, a request is served again.
    desk.hotel.dialogs.whileShown = nullptr;
    CardBusy = false;
    desk.encoder.putBlank();
    scripted.send(newKey("102"));
    QCOMPARE(status(scripted.next()), QStringLiteral("OK OK"));

    // A request answered while a desk command holds the database in its transaction: its
    // operation log row waits for the transaction and is not undone when the command is.
    const auto pmsRows = [&] {
        return desk.count("select count(*) from OperationLog where Action='PMS'");
    };
    const int before = pmsRows();
    {
        Transaction held(dm->conn);
        CardBusy = true;
        scripted.send(newKey("103"));
        QCOMPARE(status(scripted.next()), QStringLiteral("BY encoder busy"));
        QCOMPARE(pmsRows(), before);
    }
    QTRY_COMPARE_WITH_TIMEOUT(pmsRows(), before + 1, 30000);
    QVERIFY(VerifyOperationLog(dm->conn).Intact);
}

QUENMAR_TEST_MAIN(TestPms)
#include "test_pms.moc"
