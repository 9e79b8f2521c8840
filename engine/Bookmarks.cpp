// The bookmark: title, chapter, time and angle, one per disc, kept in the engine's file.
#include "engine/EngineCore.h"

bool GstEngine::Core::saveBookmark()
{
    if (state == 0 || !disc)
        return fail("save bookmark", "nothing is playing");
    settleNavigation();
    const auto current = title();
    if (!current || *current == 0)
        return fail("save bookmark", "no title is playing (a menu is showing)");
    // Right after a jump (a resume, a chapter) the source has no position for a moment.
    const auto at = settledPosition();
    const auto chapterNow = chapter();
    if (!at || !chapterNow)
        return fail("save bookmark", "the position is not known yet");
    gstdvd::Bookmark bookmark;
    bookmark.title = *current;
    bookmark.chapter = *chapterNow;
    bookmark.timeMs = *at / 1000000;
    bookmark.angle = angles().value_or(std::make_pair(1, 1)).first;
    std::string error;
    if (!bookmarks.put(disc->key(), bookmark, &error))
        return fail("save bookmark", error);
    return true;
}

bool GstEngine::Core::restoreBookmark()
{
    if (state == 0 || !disc)
        return fail("restore bookmark", "nothing is playing");
    settleNavigation();
    const auto bookmark = bookmarks.find(disc->key());
    if (!bookmark)
        return fail("restore bookmark", "no bookmark saved for this disc");
    if (bookmark->title < 1 || bookmark->title > disc->titleCount())
        return fail("restore bookmark", "the bookmark names title " + std::to_string(bookmark->title));
    const auto current = title();
    endScan(false);
    forgetPlace();
    if (!pipeline->jumpToTitle(bookmark->title, current.value_or(0) == 0, clearingMenu()))
        return fail("restore bookmark", "the disc refused to play title " + std::to_string(bookmark->title));
    if (!waitFor([&] { return pipeline->positionIn("title").value_or(0) == bookmark->title; }, gstdvd::kCommandWaitMs))
        return fail("restore bookmark", "the disc did not go to title " + std::to_string(bookmark->title));
    if (!pipeline->seekTime(1.0, bookmark->timeMs * 1000000, GST_SEEK_FLAG_NONE))
        return fail("restore bookmark", "the disc refused the jump to the bookmarked time");
    place.expectChapter(bookmark->title, bookmark->chapter);
    if (bookmark->angle > 1 && !setAngle(bookmark->angle))
        return fail("restore bookmark", "the bookmarked angle cannot be set");
    return true;
}
