#include "support/AppFixture.h"

#include "core/AppLifecycle.h"
#include "core/AppObjects.h"
#include "core/Settings.h"
#include "panel/Form1.h"
#include "playback/PlayState.h"
#include "screen/Scr.h"

void AppFixture::SetUp()
{
    ASSERT_TRUE(fakePlatform.folder.isValid());
    installPlatform(&fakePlatform);
    installEngine(&fakeEngine);
    resetSettings();
    resetPlayState();
    resetLifecycle();
    installForm1(new Form1);
    installScr(new Scr);
}

void AppFixture::TearDown()
{
    delete &scr();
    delete &form1();
    installScr(nullptr);
    installForm1(nullptr);
    installEngine(nullptr);
    installPlatform(nullptr);
}

Form1& AppFixture::panel() { return form1(); }
Scr& AppFixture::screen() { return scr(); }

std::vector<QString> AppFixture::messageTexts() const
{
    std::vector<QString> texts;
    for (const auto& m : fakePlatform.messages)
        texts.push_back(m.text);
    return texts;
}
