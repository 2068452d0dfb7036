#pragma once
// The HTTP client of a real run, over Qt's network access. A request never
// holds the program for long: it ends after a time-out, stops reading past
// a size limit, and the thread's events (painting above all) go on while it
// waits.
#include <QtGlobal>

#include "app/services.h"

namespace qm {

class QtHttpClient : public HttpClient {
public:
    static constexpr int kDefaultTimeoutMs = 15000;
    static constexpr qint64 kDefaultMaxBytes = 1024 * 1024;
    static constexpr int kMaxRedirects = 10;

    explicit QtHttpClient(int timeoutMs = kDefaultTimeoutMs, qint64 maxBytes = kDefaultMaxBytes)
        : timeoutMs_(timeoutMs), maxBytes_(maxBytes) {}

    // Follows redirects (never from https to http); any final status other
    // than 2xx is a failure that names the status and its reason.
    Status get(const std::string& url, std::string& body) override;

private:
    int timeoutMs_;
    qint64 maxBytes_;
};

}  // namespace qm
