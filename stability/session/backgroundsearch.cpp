#include "backgroundsearch.h"

#include <mutex>
#include <QObject>
#include <QThreadPool>

// The owner as the pool's threads see it: gone once its window is, and never while a
// result is being posted to it.
struct BackgroundSearch::Owner {
    std::mutex mutex;
    QObject *object = nullptr;
};

BackgroundSearch::BackgroundSearch(QObject *owner) : m_owner(std::make_shared<Owner>()) {
    m_owner->object = owner;
}

BackgroundSearch::~BackgroundSearch() {
    const std::lock_guard<std::mutex> lock(m_owner->mutex);
    m_owner->object = nullptr;
}

void BackgroundSearch::run(CriticalSearch search, CriticalFound found) {
    QThreadPool::globalInstance()->start(
        [owner = m_owner, search = std::move(search), found = std::move(found)] {
            const CriticalClearing result = search();
            const std::lock_guard<std::mutex> lock(owner->mutex);
            // Posted, not called: the result reaches the window on its own thread, and
            // Qt drops it should the window be destroyed before it is delivered.
            if (owner->object)
                QMetaObject::invokeMethod(
                    owner->object, [found, result] { found(result); }, Qt::QueuedConnection);
        });
}
