#pragma once

#include "criticalclearing.h"

#include <functional>
#include <memory>

class QObject;

// The search for the simulation's critical clearing time, and where its result goes.
using CriticalSearch = std::function<CriticalClearing()>;
using CriticalFound = std::function<void(const CriticalClearing &)>;
// Runs a search and hands its result on; a window takes the one below, a test one that
// runs the search at once.
using SearchRunner = std::function<void(CriticalSearch search, CriticalFound found)>;

// Runs each search on Qt's thread pool, so that the window never waits for it, and
// hands the result to `found` on the owner's thread. Once the owner is gone a result
// goes nowhere: a window that closes does not wait for a search it started.
class BackgroundSearch {
public:
    explicit BackgroundSearch(QObject *owner);
    ~BackgroundSearch();
    BackgroundSearch(const BackgroundSearch &) = delete;
    BackgroundSearch &operator=(const BackgroundSearch &) = delete;

    void run(CriticalSearch search, CriticalFound found);

private:
    struct Owner;
    std::shared_ptr<Owner> m_owner;
};
