#pragma once

#include "engine/NavigationSender.h"

#include <chrono>

namespace gstdvd {

class Pipeline;

// The last pointer click or command sent to the source, until it is done with: the navigator has
// moved at once, the picture and the clock only once the source has handled the event and the
// jump has given the clock a position again (a few milliseconds, unless the bound passes first).
class PendingNavigation {
public:
    using Clock = std::chrono::steady_clock;

    void begin(NavigationSender::Ticket ticket);
    NavigationSender::Ticket ticket() const { return ticket_; }
    bool pending(const Pipeline& pipeline);
    // Waits, within the bound, for the source to handle it: the source takes one jump at a time.
    void settle(const Pipeline& pipeline) const;
    void forget() { ticket_ = 0; }

private:
    NavigationSender::Ticket ticket_ = 0;
    Clock::time_point positionDue_;
};

}  // namespace gstdvd
