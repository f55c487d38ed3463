#include "instruments/ThreadedInstrument.h"

#include <future>

namespace ixo {

ThreadedInstrument::ThreadedInstrument(const Maker &make) {
    m_thread.setMaxThreadCount(1);
    m_thread.setExpiryTimeout(-1);
    run([&] { m_instrument = make(); });
}

ThreadedInstrument::~ThreadedInstrument() {
    m_thread.start([instrument = std::move(m_instrument)]() mutable { instrument.reset(); });
    m_thread.waitForDone();
}

void ThreadedInstrument::run(const std::function<void()> &work) {
    // Shared, so that the promise outlives its last use on the other thread.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    m_thread.start([done, &work] {
        try {
            work();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    });
    finished.get();
}

QString ThreadedInstrument::Model() {
    QString model;
    run([&] { model = m_instrument->Model(); });
    return model;
}

QVariant ThreadedInstrument::CaptureState() {
    QVariant state;
    run([&] { state = m_instrument->CaptureState(); });
    return state;
}

void ThreadedInstrument::RestoreState(const QVariant &state) {
    run([&] { m_instrument->RestoreState(state); });
}

QString ThreadedInstrument::Version() {
    QString version;
    run([&] { version = m_instrument->Version(); });
    return version;
}

ObjectRef ThreadedInstrument::ImportLegacyFile(const QString &fileName, const QString &progId) {
    ObjectRef object;
    run([&] { object = m_instrument->ImportLegacyFile(fileName, progId); });
    return object;
}

} // namespace ixo
