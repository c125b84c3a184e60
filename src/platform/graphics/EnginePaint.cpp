#include "platform/graphics/EnginePaint.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <vector>

namespace vx {

namespace {

struct PaintQueue {
    std::vector<TEnginePaintable*> pending;
    std::vector<TEnginePaintable*> current; // the round being painted
    bool timerPosted = false;
    bool running = false;
};

PaintQueue& Queue() {
    static PaintQueue queue;
    return queue;
}

void RunPendingPaints() {
    auto& q = Queue();
    if (q.running)
        return;
    // Objects invalidated while these paint wait for the next round.
    q.current.swap(q.pending);
    q.running = true;
    struct EndRound {
        PaintQueue& q;
        ~EndRound() {
            q.current.clear();
            q.running = false;
        }
    } end{q};
    for (size_t i = 0; i < q.current.size(); ++i) {
        TEnginePaintable* object = q.current[i];
        q.current[i] = nullptr;
        if (object) // null when destroyed by an earlier paint of this round
            object->EnginePaint();
    }
}

void PostTimer() {
    auto& q = Queue();
    auto* app = QCoreApplication::instance();
    if (q.timerPosted || !app)
        return;
    q.timerPosted = true;
    QMetaObject::invokeMethod(
        app,
        [] {
            Queue().timerPosted = false;
            RunPendingPaints();
        },
        Qt::QueuedConnection);
}

} // namespace

TEnginePaintable::~TEnginePaintable() {
    auto& q = Queue();
    const auto gone = static_cast<TEnginePaintable*>(nullptr);
    q.pending.erase(std::remove(q.pending.begin(), q.pending.end(), this), q.pending.end());
    std::replace(q.current.begin(), q.current.end(), static_cast<TEnginePaintable*>(this), gone);
}

void Invalidate(TEnginePaintable& object) {
    auto& q = Queue();
    if (std::find(q.pending.begin(), q.pending.end(), &object) == q.pending.end())
        q.pending.push_back(&object);
    PostTimer();
}

bool PaintPending(const TEnginePaintable& object) {
    const auto& p = Queue().pending;
    return std::find(p.begin(), p.end(), &object) != p.end();
}

void ProcessMessages() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    RunPendingPaints();
}

bool WaitUntil(const std::function<bool()>& predicate, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!predicate()) {
        if (timer.elapsed() >= limitMs)
            return predicate();
        ProcessMessages();
        if (!predicate())
            QThread::msleep(1);
    }
    return true;
}

} // namespace vx
