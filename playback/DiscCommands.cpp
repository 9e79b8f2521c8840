#include "playback/DiscCommands.h"

#include "core/AppObjects.h"
#include "playback/CommandMessage.h"
#include "playback/Engine.h"
#include "playback/PlayState.h"
#include "screen/Notice.h"

#include <functional>

namespace {

// DVD-Video menu identifiers.
constexpr int32_t TitleMenu = 2;
constexpr int32_t RootMenu = 3;
constexpr int32_t SubPictureMenu = 4;
constexpr int32_t AudioMenu = 5;
constexpr int32_t AngleMenu = 6;
constexpr int32_t ChapterMenu = 7;

void simpleCommand(const std::function<bool()>& operation, const QString& notice, const QString& failure)
{
    if (!operation()) {
        ShowCommandFailure(failure);
        return;
    }
    ShowNotice(notice);
}

void menuCommand(int32_t menu, const QString& notice, const QString& failure)
{
    simpleCommand([menu] { return engine().EngineShowMenu(menu); }, notice, failure);
}

} // namespace

void DvdRootMenu()
{
    menuCommand(RootMenu, QStringLiteral("RootMenu"), QStringLiteral("ルートメニューを開けません。"));
}

void DvdAngleMenu()
{
    menuCommand(AngleMenu, QStringLiteral("AngleMenu"), QStringLiteral("アングルメニューを開けません"));
}

void DvdTitleMenu()
{
    menuCommand(TitleMenu, QStringLiteral("TitleMenu"), QStringLiteral("タイトルメニューを開けません"));
}

void DvdChapterMenu()
{
    menuCommand(ChapterMenu, QStringLiteral("ChapterMenu"), QStringLiteral("チャプターメニューを開けません"));
}

void DvdAudioMenu()
{
    menuCommand(AudioMenu, QStringLiteral("AudioMenu"), QStringLiteral("オーディオメニューを開けません"));
}

void DvdSubPictureMenu()
{
    menuCommand(SubPictureMenu, QStringLiteral("SubPictureMenu"), QStringLiteral("サブピクチャーメニューを開けません"));
}

void DvdResume()
{
    simpleCommand([] { return engine().EngineResume(); }, QStringLiteral("Resume"), QStringLiteral("リジュームに失敗"));
}

void DvdSaveBookmark()
{
    simpleCommand([] { return engine().EngineSaveBookmark(); }, QStringLiteral("Save Bookmark"),
                  QStringLiteral("ブックマークの保存に失敗しました"));
}

void DvdLoadBookmark()
{
    simpleCommand([] { return engine().EngineRestoreBookmark(); }, QStringLiteral("Load Bookmark"),
                  QStringLiteral("ブックマークの復元に失敗しました"));
}

void DvdNextAngle()
{
    int16_t count = 0;
    int16_t current = 0;
    if (PlayState == 1 || PlayState == 2) {
        // A failed read is not reported here; the angle put below then decides.
        if (auto c = engine().EngineAngleCount()) {
            count = static_cast<int16_t>(*c);
            if (auto a = engine().EngineAngle())
                current = static_cast<int16_t>(*a);
        }
    }
    if (count == 1) {
        ShowCommandFailure(QStringLiteral("アングルは一種類のみです"));
        return;
    }
    int16_t next = current;
    if (current < count)
        next = static_cast<int16_t>(current + 1);
    else if (current == count)
        next = 1;
    if (!engine().EngineAngle(static_cast<int32_t>(next))) {
        ShowCommandFailure(QStringLiteral("アングルの切り替えの失敗"));
        return;
    }
    ShowNotice(QStringLiteral("Angle ") + QString::number(next));
}
