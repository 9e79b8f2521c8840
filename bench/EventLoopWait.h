#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

// Sleeps in the event loop, which runs the engine's bus and picture deliveries; a busy loop
// would be measured as the engine's CPU.
inline void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Turns the event loop in steps of stepMs until the condition holds; false when time runs out.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs, int stepMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        runEventLoopFor(stepMs);
    }
    return true;
}
