#pragma once
// A real HTTP server on 127.0.0.1 for the update tests, served by the test
// thread's own event loop (the client under test runs that loop while it
// waits). Each path has a canned answer; anything else is 404. Every
// connection gets one answer and is closed.
//
//   TestHttpServer server;
//   server.routes["/pad/quillmere.xml"] = {200, "OK", padDocument("9.0.0")};
//   g.services.serverOverride = server.base();
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qm::test {

// A PAD document that publishes `version`.
inline std::string padDocument(const std::string& version) {
    return "<?xml version=\"1.0\" encoding=\"Windows-1252\" ?>\r\n<XML_DIZ_INFO>\r\n<Program_Info>\r\n"
           "<Program_Name>Quillmere</Program_Name>\r\n<Program_Version>" +
           version + "</Program_Version>\r\n</Program_Info>\r\n</XML_DIZ_INFO>\r\n";
}

class TestHttpServer : public QObject {
public:
    struct Response {
        Response() = default;
        Response(int status, std::string reason, std::string body)
            : status(status), reason(std::move(reason)), body(std::move(body)) {}
        Response& header(std::string name, std::string value) {
            headers.emplace_back(std::move(name), std::move(value));
            return *this;
        }
        Response& delayed(int ms) {
            delayMs = ms;
            return *this;
        }
        Response& unannounced() {
            announceLength = false;
            return *this;
        }

        int status = 200;
        std::string reason = "OK";
        std::string body;
        std::vector<std::pair<std::string, std::string>> headers;
        int delayMs = 0;              // wait this long before answering
        bool announceLength = true;   // false: no Content-Length, the body ends with the connection
    };

    std::map<std::string, Response> routes;  // by path and query
    std::vector<std::string> requests;       // the paths asked for, in order
    // Called when a request has arrived, before it is answered.
    std::function<void(const std::string& path)> onRequest;

    TestHttpServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) serve(s);
        });
    }

    bool listening() const { return server_.isListening(); }
    // "http://127.0.0.1:<port>"
    std::string base() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()); }

    // An address on which nothing listens: a port that was free a moment ago.
    static std::string downAddress() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const std::string base = "http://127.0.0.1:" + std::to_string(probe.serverPort());
        probe.close();
        return base;
    }

private:
    void serve(QTcpSocket* socket) {
        socket->setParent(this);
        auto request = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
            request->append(socket->readAll());
            if (!request->contains("\r\n\r\n")) return;
            QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
            const QList<QByteArray> words = request->left(request->indexOf("\r\n")).split(' ');
            const std::string path = words.size() > 1 ? words[1].toStdString() : std::string();
            requests.push_back(path);
            if (onRequest) onRequest(path);
            auto it = routes.find(path);
            const Response r = it != routes.end() ? it->second : Response(404, "Not Found", "missing");
            QPointer<QTcpSocket> alive(socket);
            auto answer = [alive, r] {
                if (!alive) return;
                std::string head = "HTTP/1.1 " + std::to_string(r.status) + " " + r.reason + "\r\n";
                head += "Connection: close\r\nContent-Type: text/xml\r\n";
                if (r.announceLength) head += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
                for (const auto& [name, value] : r.headers) head += name + ": " + value + "\r\n";
                head += "\r\n";
                alive->write(head.data(), static_cast<qint64>(head.size()));
                alive->write(r.body.data(), static_cast<qint64>(r.body.size()));
                alive->disconnectFromHost();
            };
            if (r.delayMs > 0)
                QTimer::singleShot(r.delayMs, socket, answer);
            else
                answer();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

    QTcpServer server_;
};

}  // namespace qm::test
