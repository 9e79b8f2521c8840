// Titles, chapters, disc menus, angles and the pointer on disc-menu buttons.
#include "engine/EngineCore.h"

#include <gst/video/navigation.h>

#include <QThread>
#include <QTimer>

#include <algorithm>
#include <array>

using gstdvd::kCommandWaitMs;

namespace {

const char* menuName(int menu)
{
    static const std::array<const char*, 6> names{"title", "root", "sub-picture", "audio", "angle", "chapter"};
    return names[static_cast<size_t>(menu - 2)];
}

GstNavigationCommand menuCommand(int menu)
{
    switch (menu) {
    case 2:
        return GST_NAVIGATION_COMMAND_DVD_TITLE_MENU;
    case 3:
        return GST_NAVIGATION_COMMAND_DVD_ROOT_MENU;
    case 4:
        return GST_NAVIGATION_COMMAND_DVD_SUBPICTURE_MENU;
    case 5:
        return GST_NAVIGATION_COMMAND_DVD_AUDIO_MENU;
    case 6:
        return GST_NAVIGATION_COMMAND_DVD_ANGLE_MENU;
    default:
        return GST_NAVIGATION_COMMAND_DVD_CHAPTER_MENU;
    }
}

}  // namespace

bool GstEngine::Core::waitFor(const std::function<bool()>& condition, int waitMs)
{
    // The navigator takes a command at once and changes its state before the source reads the
    // new place, so the answer can be read while that reading goes on.
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= deadline)
            return false;
        QThread::msleep(2);
    }
}

std::optional<int> GstEngine::Core::title()
{
    if (state == 0)
        return failRead<int>("title", "nothing is playing");
    if (navigationPending())
        return place.title();
    const auto value = pipeline->positionIn("title");
    // While a jump flushes the pipeline the query does not get through: the title is still
    // the one last seen.
    if (!value)
        return place.title();
    // Between programs (the first-play program) the navigator is in no title.
    place.sawTitle(*value > 0 ? static_cast<int>(*value) : 0);
    return place.title();
}

std::optional<int> GstEngine::Core::chapter()
{
    const auto current = title();
    if (!current)
        return failRead<int>("chapter", "nothing is playing");
    if (*current == 0)
        return 0;
    // A jump still settling: the navigator's own chapter runs ahead of the picture (at a
    // chapter's first frame it may still name the one before), so it is no answer.
    if (navigationPending()) {
        if (const auto last = place.lastChapter())
            return last;
        return failRead<int>("chapter", "the chapter is not known yet");
    }
    std::optional<int64_t> value;
    if (const auto at = position())
        value = disc->chapterAt(*current, *at);
    if (!value)
        value = pipeline->positionIn("chapter");
    if (const auto answer = place.chapter(*current, value))
        return answer;
    return failRead<int>("chapter", "the navigator reports no chapter");
}

std::optional<int> GstEngine::Core::chapterCount(int title)
{
    if (!disc)
        return failRead<int>("chapter count", "no disc");
    if (title == 0)
        return 0;
    const auto count = disc->chapterCount(title);
    if (!count)
        return failRead<int>("chapter count", "the disc has no title " + std::to_string(title));
    return *count;
}

bool GstEngine::Core::skipChapter(int direction)
{
    settleNavigation();
    const char* operation = direction > 0 ? "next chapter" : "previous chapter";
    if (state == 0)
        return fail(operation, "nothing is playing");
    const auto current = title();
    if (!current || *current == 0)
        return fail(operation, "no title is playing (a menu is showing)");
    const auto now = chapter();
    const auto count = disc ? disc->chapterCount(*current) : std::nullopt;
    if (!now || !count)
        return fail(operation, "the chapter is not known");
    int target = *now + direction;
    if (target > *count)
        return fail(operation, "already in the last chapter");
    if (pipeline->inStill())
        return fail(operation, "the disc is holding a still picture");
    // Before the first chapter: back to its start, as a player's previous button does.
    if (target < 1)
        target = 1;
    endScan(false);
    if (!pipeline->seekIn("chapter", target))
        return fail(operation, "the disc refused the chapter jump");
    place.expectChapter(*current, target);
    return true;
}

void GstEngine::Core::sendCommand(int command)
{
    navigation.begin(pipeline->navigate(gst_navigation_event_new_command(static_cast<GstNavigationCommand>(command))));
}

std::optional<int> GstEngine::Core::menuShowing() const
{
    if (pipeline->positionIn("title").value_or(-1) != 0)
        return std::nullopt;
    return static_cast<int>(pipeline->positionIn("chapter").value_or(0));
}

int GstEngine::Core::clearingMenu() const
{
    if (disc && disc->hasMenu(3, 1))
        return GST_NAVIGATION_COMMAND_DVD_ROOT_MENU;
    if (disc && disc->hasMenu(2, 1))
        return GST_NAVIGATION_COMMAND_DVD_TITLE_MENU;
    return -1;
}

bool GstEngine::Core::showMenu(int menu)
{
    if (menu < 2 || menu > 7)
        return fail("menu", "no DVD-Video menu has the id " + std::to_string(menu));
    const std::string operation = std::string(menuName(menu)) + " menu";
    if (state == 0)
        return fail(operation.c_str(), "nothing is playing");
    settleNavigation();
    const auto current = title();
    if (!disc->hasMenu(menu, current.value_or(0)))
        return fail(operation.c_str(), "the disc has no such menu");
    endScan(false);
    const auto before = menuShowing();
    sendCommand(menuCommand(menu));
    forgetPlace();
    // Some menu entries only pass on to another menu (authoring tools write one for a menu the
    // disc does not have, leading to its root menu): the menu the call ends in is the answer.
    const bool reached = waitFor(
        [&] {
            const auto now = menuShowing();
            return now && (*now == menu || !before || *now != *before);
        },
        kCommandWaitMs);
    if (!reached)
        return fail(operation.c_str(), "the disc does not allow the menu here");
    return true;
}

bool GstEngine::Core::resume()
{
    settleNavigation();
    if (state == 0)
        return fail("resume", "nothing is playing");
    const auto current = title();
    if (!current || *current != 0)
        return fail("resume", "no menu is showing");
    // The navigator's escape leaves a menu for the point it was called from.
    sendCommand(GST_NAVIGATION_COMMAND_DVD_MENU);
    forgetPlace();
    int resumed = 0;
    if (!waitFor(
            [&] {
                resumed = static_cast<int>(pipeline->positionIn("title").value_or(0));
                return resumed > 0;
            },
            kCommandWaitMs))
        return fail("resume", "the menu was not called from a title, there is nothing to return to");
    place.sawTitle(resumed);
    return true;
}

std::optional<std::pair<int, int>> GstEngine::Core::angles()
{
    if (state == 0)
        return failRead<std::pair<int, int>>("angle", "nothing is playing");
    const auto current = title();
    if (current && *current == 0)
        return std::make_pair(1, 1);
    const auto value = pipeline->angles();
    if (!value || value->second < 1)
        return failRead<std::pair<int, int>>("angle", "the navigator reports no angles");
    return value;
}

bool GstEngine::Core::setAngle(int angle)
{
    settleNavigation();
    const auto now = angles();
    if (!now)
        return fail("angle", "the angles are not known");
    const int count = now->second;
    if (angle < 1 || angle > count)
        return fail("angle", "angle " + std::to_string(angle) + " of " + std::to_string(count));
    if (now->first == angle)
        return true;
    // The navigator only steps to the next or previous angle: take the shorter way round and
    // check every step.
    const int forward = (angle - now->first + count) % count;
    const int backward = count - forward;
    const bool ahead = forward <= backward;
    int current = now->first;
    for (int step = 0; step < std::min(forward, backward); ++step) {
        sendCommand(ahead ? GST_NAVIGATION_COMMAND_NEXT_ANGLE : GST_NAVIGATION_COMMAND_PREV_ANGLE);
        const int before = current;
        waitFor(
            [&] {
                const auto value = pipeline->angles();
                current = value ? value->first : before;
                return current != before;
            },
            kCommandWaitMs);
        if (current == before)
            return fail("angle", "the disc does not allow an angle change here");
    }
    if (current != angle)
        return fail("angle", "landed on angle " + std::to_string(current));
    return true;
}

void GstEngine::pointerMoved(double x, double y)
{
    if (d->state == 0 || d->scanner->active())
        return;
    d->pipeline->navigate(gst_navigation_event_new_mouse_move(x, y, GST_NAVIGATION_MODIFIER_NONE));
}

void GstEngine::pointerClicked(double x, double y)
{
    d->click(x, y);
}

void GstEngine::Core::click(double x, double y)
{
    if (state == 0 || scanner->active())
        return;
    const auto menu = menuShowing();
    pipeline->navigate(gst_navigation_event_new_mouse_button_press(1, x, y, GST_NAVIGATION_MODIFIER_BUTTON1_MASK));
    const auto ticket
        = pipeline->navigate(gst_navigation_event_new_mouse_button_release(1, x, y, GST_NAVIGATION_MODIFIER_NONE));
    navigation.begin(ticket);
    forgetPlace();
    if (menu)
        watchMenuButton(ticket, *menu, 0);
}

void GstEngine::Core::watchMenuButton(gstdvd::NavigationSender::Ticket ticket, int menu, int round)
{
    // A button that branches is done with as soon as the source has read the first block of
    // where it leads. One whose command stays in the menu (choosing a sound track or the
    // subtitles, mostly) leaves the source waiting for a block that a still picture never
    // gives. Calling the same menu again lets go of that wait and reads the menu afresh, so
    // its buttons work again; the choice the button made stays in the navigator's registers.
    const uint64_t generation = playGeneration;
    QTimer::singleShot(round == 0 ? gstdvd::kButtonSettleMs : gstdvd::kRunawayMs, context.get(),
                       [this, ticket, menu, round, generation] {
                           if (generation != playGeneration || state == 0 || pipeline->navigated(ticket))
                               return;
                           if (round == 0) {
                               if (menuShowing() == menu) {
                                   const int again = menu >= 2 && menu <= 7 ? menuCommand(menu) : clearingMenu();
                                   if (again >= 0)
                                       pipeline->commandStuckSource(static_cast<GstNavigationCommand>(again));
                               }
                               watchMenuButton(ticket, menu, 1);
                               return;
                           }
                           // Still held: the source is stuck for good. Stopping lets go of it.
                           fail("menu button", "the disc stopped answering after a menu button; playback stopped");
                           stopByItself(PlaybackEnd::Failed);
                       });
}