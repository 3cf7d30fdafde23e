#include "GuiMailbox.h"

#include <QSocketNotifier>

#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace korv::app {

GuiMailbox::GuiMailbox(QObject* parent)
    : QObject(parent)
    , wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (wakeFd_ < 0)
        throw std::runtime_error("No event descriptor left for the main window");
    notifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &GuiMailbox::Drain);
}

GuiMailbox::~GuiMailbox() {
    delete notifier_;
    ::close(wakeFd_);
}

void GuiMailbox::Post(std::function<void()> work) {
    {
        std::lock_guard l(mutex_);
        queue_.push_back(std::move(work));
    }
    const std::uint64_t one = 1;
    // Cannot fail short of a counter overflow, and a wake-up already pending will do then.
    [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
}

void GuiMailbox::Drain() {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(wakeFd_, &count, sizeof count);
    std::deque<std::function<void()>> work;
    {
        std::lock_guard l(mutex_);
        work.swap(queue_);
    }
    for (auto& w : work)
        w();
}

} // namespace korv::app
