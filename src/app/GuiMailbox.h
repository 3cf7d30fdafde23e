// Hands work from the MIDI and timer threads to the GUI thread, in the order it was posted.
// The work waits in a queue under a std::mutex and an eventfd wakes the GUI thread's event
// loop: every hand-over is then visible to ThreadSanitizer, which cannot see through Qt's own
// (uninstrumented) event queue.
#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

class QSocketNotifier;

namespace korv::app {

class GuiMailbox : public QObject {
public:
    // Lives on the thread that creates it, which runs `work`.
    explicit GuiMailbox(QObject* parent = nullptr);
    ~GuiMailbox() override;
    GuiMailbox(const GuiMailbox&) = delete;
    GuiMailbox& operator=(const GuiMailbox&) = delete;

    // Any thread; `work` runs on the GUI thread once its event loop gets to it. Work still
    // waiting when the mailbox goes away is dropped.
    void Post(std::function<void()> work);

private:
    void Drain();

    int wakeFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

} // namespace korv::app
