// The bookmark file: one bookmark per disc, surviving the process, never clobbering a file
// that is not ours.
#include "engine/BookmarkStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using gstdvd::Bookmark;
using gstdvd::BookmarkStore;

TEST(BookmarkStore, KeepsOneBookmarkPerDiscAcrossInstances)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("quorvel2.bookmark").toStdString();
    std::string error;
    {
        BookmarkStore store(path);
        EXPECT_FALSE(store.find("disc-a"));
        ASSERT_TRUE(store.put("disc-a", {1, 3, 13500, 1}, &error)) << error;
        ASSERT_TRUE(store.put("disc-b", {2, 1, 2000, 2}, &error)) << error;
        ASSERT_TRUE(store.put("disc-a", {1, 4, 19000, 1}, &error)) << error;
    }
    BookmarkStore again(path);
    const auto a = again.find("disc-a");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->title, 1);
    EXPECT_EQ(a->chapter, 4);
    EXPECT_EQ(a->timeMs, 19000);
    const auto b = again.find("disc-b");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->angle, 2);
}

TEST(BookmarkStore, AFileThatIsNotOursIsLeftAlone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("quorvel2.bookmark");
    QFile foreign(path);
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("[quorvel]\nvolume=0\n");
    foreign.close();

    BookmarkStore store(path.toStdString());
    std::string error;
    EXPECT_FALSE(store.put("disc-a", {1, 1, 0, 1}, &error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(foreign.open(QIODevice::ReadOnly));
    EXPECT_EQ(foreign.readAll(), QByteArray("[quorvel]\nvolume=0\n"));
}

TEST(BookmarkStore, AnUnwritableFolderFailsWithTheReason)
{
    BookmarkStore store("/nonexistent-folder/quorvel2.bookmark");
    std::string error;
    EXPECT_FALSE(store.put("disc-a", {1, 1, 0, 1}, &error));
    EXPECT_NE(error.find("/nonexistent-folder"), std::string::npos) << error;
    EXPECT_FALSE(store.find("disc-a"));
}
