#include "store/pagefetcher.h"

#include "common/error.h"

namespace quillerby {

namespace {
constexpr int kPagesAhead = 4;

JsonValue arrayFrom(const ShopResponse& reply) {
    JsonValue v = reply.json();
    if (!v.isArray())
        throw Error(QStringLiteral("The shop's answer is not a JSON array."));
    return v;
}
} // namespace

class PageFetcher::Worker : public QThread {
public:
    Worker(std::shared_ptr<State> state, ShopAccess access, ShopOperation operation,
           std::function<UriBuilder(int)> uriForPage, bool firstIsPageOne)
        : m_state(std::move(state)), m_access(std::move(access)), m_operation(operation),
          m_uriForPage(std::move(uriForPage)), m_firstIsPageOne(firstIsPageOne) {}

protected:
    void run() override {
        int current = 0;
        try {
            ShopClient client(m_access.website, m_access.key, m_access.secret, m_operation, m_access.network);
            ShopResponse first = client.get(m_uriForPage(1));
            const PageInfo info = PageInfo::from(first);
            JsonValue firstPage;
            if (m_firstIsPageOne && info.totalPages > 0)
                firstPage = arrayFrom(first);
            {
                QMutexLocker lock(&m_state->mutex);
                ++m_state->requests;
                m_state->info = info;
                m_state->started = true;
                if (m_firstIsPageOne && info.totalPages > 0)
                    m_state->pages.emplace(1, firstPage);
                m_state->changed.wakeAll();
            }
            first = ShopResponse();
            for (int page = m_firstIsPageOne ? 2 : 1; page <= info.totalPages; ++page) {
                current = page;
                {
                    QMutexLocker lock(&m_state->mutex);
                    while (!m_state->stop && page - m_state->consumed > kPagesAhead)
                        m_state->changed.wait(&m_state->mutex);
                    if (m_state->stop)
                        return;
                }
                JsonValue body = arrayFrom(client.get(m_uriForPage(page)));
                QMutexLocker lock(&m_state->mutex);
                ++m_state->requests;
                m_state->pages.emplace(page, std::move(body));
                m_state->changed.wakeAll();
            }
        } catch (const Error& e) {
            QMutexLocker lock(&m_state->mutex);
            m_state->failed = true;
            m_state->failedPage = current;
            m_state->error = e.message();
            m_state->started = true;
            m_state->changed.wakeAll();
        }
    }

private:
    std::shared_ptr<State> m_state;
    ShopAccess m_access;
    ShopOperation m_operation;
    std::function<UriBuilder(int)> m_uriForPage;
    bool m_firstIsPageOne;
};

PageFetcher::PageFetcher(ShopAccess access, ShopOperation operation, std::function<UriBuilder(int)> uriForPage,
                         bool firstIsPageOne)
    : m_state(std::make_shared<State>()) {
    m_thread = std::make_unique<Worker>(m_state, std::move(access), operation, std::move(uriForPage),
                                        firstIsPageOne);
}

PageFetcher::~PageFetcher() {
    {
        QMutexLocker lock(&m_state->mutex);
        m_state->stop = true;
        m_state->changed.wakeAll();
    }
    m_thread->wait();
}

void PageFetcher::waitFor(const std::function<bool()>& ready, const std::function<void()>& idle) {
    QMutexLocker lock(&m_state->mutex);
    while (!ready()) {
        if (idle) {
            m_state->changed.wait(&m_state->mutex, 15);
            lock.unlock();
            idle();
            lock.relock();
        } else {
            m_state->changed.wait(&m_state->mutex);
        }
    }
}

PageInfo PageFetcher::start(const std::function<void()>& idle) {
    m_thread->start();
    waitFor([this] { return m_state->started; }, idle);
    QMutexLocker lock(&m_state->mutex);
    if (m_state->failed && m_state->failedPage == 0)
        throw Error(m_state->error);
    return m_state->info;
}

JsonValue PageFetcher::page(int page, const std::function<void()>& idle) {
    waitFor([this, page] { return m_state->pages.count(page) > 0 || m_state->failed; }, idle);
    QMutexLocker lock(&m_state->mutex);
    auto it = m_state->pages.find(page);
    if (it == m_state->pages.end())
        throw Error(m_state->error);
    JsonValue v = std::move(it->second);
    m_state->pages.erase(it);
    m_state->consumed = page;
    m_state->changed.wakeAll();
    return v;
}

int PageFetcher::requestsMade() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->requests;
}

} // namespace quillerby
