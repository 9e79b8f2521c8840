// What the reads answer while a jump settles: the chapter asked for until the navigator names
// it, then the navigator again; what was known is kept through reads that cannot tell.
#include "engine/PlaceTracker.h"

#include <gtest/gtest.h>

using gstdvd::PlaceTracker;

TEST(PlaceTracker, AChapterJumpAnswersTheTargetUntilTheNavigatorLandsThere)
{
    PlaceTracker place;
    place.sawTitle(1);
    EXPECT_EQ(place.chapter(1, 2), 2);
    place.expectChapter(1, 3);
    // The navigator still names the old chapter, then none, while the jump flushes.
    EXPECT_EQ(place.chapter(1, 2), 3);
    EXPECT_EQ(place.chapter(1, std::nullopt), 3);
    EXPECT_EQ(place.chapter(1, 3), 3);
    // Landed: from now on the navigator is the answer, the next chapter included.
    EXPECT_EQ(place.chapter(1, 4), 4);
    EXPECT_EQ(place.chapter(1, 2), 2);
}

TEST(PlaceTracker, AnExpectedChapterHoldsOnlyInItsTitle)
{
    PlaceTracker place;
    place.expectChapter(1, 5);
    // The disc's program took it to another title meanwhile.
    EXPECT_EQ(place.chapter(2, 1), 1);
    EXPECT_EQ(place.chapter(1, 2), 2);
}

TEST(PlaceTracker, ReadsThatCannotTellKeepWhatWasKnownUntilForgotten)
{
    PlaceTracker place;
    EXPECT_FALSE(place.chapter(1, std::nullopt));
    EXPECT_FALSE(place.chapter(1, 0));
    place.sawTitle(2);
    EXPECT_EQ(place.chapter(2, 4), 4);
    EXPECT_EQ(place.chapter(2, std::nullopt), 4);
    EXPECT_EQ(place.lastChapter(), 4);
    // Another title: its chapter is not the last title's.
    place.sawTitle(3);
    EXPECT_FALSE(place.lastChapter());
    EXPECT_EQ(place.title(), 3);
    place.setTimeText("00:00:10");
    place.forget();
    EXPECT_EQ(place.title(), 0);
    EXPECT_TRUE(place.timeText().empty());
    EXPECT_FALSE(place.chapter(3, std::nullopt));
}
