// A screen sampler on a worker thread of its own, as the control program runs it, with
// its answers collected on the test's thread (queued, as the engine receives them).
#pragma once

#include "GetDeskPixel.h"

#include <QThread>
#include <QVariantList>
#include <QVector>

#include <mutex>

class SamplerOnThread
{
public:
    SamplerOnThread()
        : m_sampler(new GetDeskPixel)
    {
        m_sampler->moveToThread(&m_thread);
        // QThread::wait() hands over through Qt's own lock, which ThreadSanitizer cannot
        // see; this one it can.
        QObject::connect(&m_thread, &QThread::finished, &m_thread, [this] { std::lock_guard<std::mutex> ended(m_ended); },
                         Qt::DirectConnection);
        QObject::connect(m_sampler, &GetDeskPixel::sendDeskPixelRGB, &m_receiver,
                         [this](int red, int green, int blue) { answers << QVariantList{red, green, blue}; },
                         Qt::QueuedConnection);
    }

    ~SamplerOnThread()
    {
        m_thread.quit();
        m_thread.wait();
        std::lock_guard<std::mutex> ended(m_ended);
        delete m_sampler;
    }

    GetDeskPixel &sampler() { return *m_sampler; }
    void start() { m_thread.start(); }

    QVector<QVariantList> answers;

private:
    QThread m_thread;
    QObject m_receiver;
    std::mutex m_ended;
    GetDeskPixel *m_sampler;
};
