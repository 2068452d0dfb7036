#include "app/http_client.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace qm {

namespace {

QString seconds(int ms) { return QString::number(ms / 1000.0, 'g', 3); }

QString kilobytes(qint64 bytes) { return QString::number(bytes / 1024); }

}  // namespace

Status QtHttpClient::get(const std::string& url, std::string& body) {
    body.clear();
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() || (scheme != "http" && scheme != "https"))
        return Status::failure("\"" + url + "\" is not a web address.");

    // One access manager per request: nothing of a request outlives it.
    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, "Quillmere");
    std::unique_ptr<QNetworkReply> reply(manager.get(request));

    QString failure;  // set by whatever ends the request early
    QByteArray received;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    auto stop = [&](const QString& why) {
        if (failure.isEmpty()) failure = why;
        reply->abort();
    };
    const QString tooLarge = "The server's answer is larger than " + kilobytes(maxBytes_) + " KB.";
    QObject::connect(&deadline, &QTimer::timeout, &loop,
                     [&] { stop("The server did not answer within " + seconds(timeoutMs_) + " seconds."); });
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
        // A final answer that announces its size too large is not read at all.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status / 100 != 3 && length.isValid() && length.toLongLong() > maxBytes_) stop(tooLarge);
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        if (received.size() + reply->bytesAvailable() > maxBytes_) {
            stop(tooLarge);
            return;
        }
        received += reply->readAll();
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs_);
    if (!reply->isFinished()) loop.exec();
    deadline.stop();

    if (!failure.isEmpty()) return Status::failure(failure.toStdString());
    if (received.size() + reply->bytesAvailable() > maxBytes_) return Status::failure(tooLarge.toStdString());
    received += reply->readAll();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    const QNetworkReply::NetworkError error = reply->error();
    const bool redirectRefused =
        error == QNetworkReply::TooManyRedirectsError || error == QNetworkReply::InsecureRedirectError;
    if (status.isValid() && status.toInt() / 100 != 2 && !redirectRefused) {
        QString text = "The server answered " + QString::number(status.toInt());
        if (!reason.isEmpty()) text += " " + reason;
        return Status::failure((text + ".").toStdString());
    }
    if (error != QNetworkReply::NoError) return Status::failure(reply->errorString().toStdString());
    body.assign(received.constData(), static_cast<size_t>(received.size()));
    return Status::success();
}

}  // namespace qm
