#pragma once

#include "store/json.h"
#include "store/shopclient.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <functional>
#include <map>
#include <memory>

namespace quillerby {

// Where and as whom a synchronisation reaches the shop.
struct ShopAccess {
    QString website; // the shop's address as stored; paths are appended directly
    QString key;
    QString secret;
    NetworkSettings network;
};

// Downloads a paged list on a thread of its own, one request after the other and in page order, while the
// caller writes the pages it already has: the shop's answer time hides the caller's work. The first request
// gives the paging headers; then pages 1..N follow (with `firstIsPageOne` the first answer's body is page 1
// and is not asked for again). At most a few pages wait unread. The caller's thread owns the object.
class PageFetcher {
public:
    PageFetcher(ShopAccess access, ShopOperation operation, std::function<UriBuilder(int page)> uriForPage,
                bool firstIsPageOne);
    ~PageFetcher(); // stops after the request in flight and waits for the thread

    // Waits for the first answer; raises its Error. `idle` runs while waiting (to keep a window painted).
    PageInfo start(const std::function<void()>& idle);
    // Waits for page `page` (1..totalPages, in order) and returns its JSON array; raises the fetch's Error
    // (a failed request, a body that is not a JSON array).
    JsonValue page(int page, const std::function<void()>& idle);
    int requestsMade() const;

private:
    class Worker;
    struct State {
        QMutex mutex;
        QWaitCondition changed;
        bool started = false;
        PageInfo info;
        std::map<int, JsonValue> pages;
        int failedPage = 0; // page whose fetch failed (0 = first request)
        bool failed = false;
        QString error;
        bool stop = false;
        int consumed = 0;
        int requests = 0;
    };
    void waitFor(const std::function<bool()>& ready, const std::function<void()>& idle);

    std::shared_ptr<State> m_state;
    std::unique_ptr<QThread> m_thread;
};

} // namespace quillerby
