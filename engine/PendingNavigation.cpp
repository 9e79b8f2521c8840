#include "engine/PendingNavigation.h"

#include "engine/EngineTimes.h"
#include "engine/Pipeline.h"

namespace gstdvd {

void PendingNavigation::begin(NavigationSender::Ticket ticket)
{
    ticket_ = ticket;
    positionDue_ = Clock::now() + std::chrono::milliseconds(kStateWaitMs);
}

bool PendingNavigation::pending(const Pipeline& pipeline)
{
    if (ticket_ == 0)
        return false;
    if (!pipeline.navigated(ticket_)) {
        positionDue_ = Clock::now() + std::chrono::milliseconds(kStateWaitMs);
        return true;
    }
    if (Clock::now() < positionDue_ && !pipeline.position())
        return true;
    ticket_ = 0;
    return false;
}

void PendingNavigation::settle(const Pipeline& pipeline) const
{
    if (ticket_ != 0)
        pipeline.waitNavigated(ticket_, kCommandWaitMs);
}

}  // namespace gstdvd
