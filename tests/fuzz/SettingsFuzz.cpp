// Fuzzes the settings load and save with whole settings files of any bytes, through the
// platform double (message boxes answered by the input, the profile calls on a real file), and
// checks what a user relies on:
//   - the load asks at most once, and a No ends the program with the file untouched;
//   - the folder is loaded byte for byte as the file holds it, even in bytes that are not UTF-8;
//   - a save changes no key and no section but the nine settings keys, adds none and drops none;
//   - what a save writes loads back without a question and as the same record, and a second
//     save writes the same bytes.
//
// Input: one byte for the answer to the question (even: Yes), then the file's bytes.
#include "core/SettingsFile.h"
#include "core/Settings.h"
#include "platform/PrivateProfile.h"
#include "IniKeys.h"
#include "support/FakeEngine.h"
#include "support/FakePlatform.h"

#include <QByteArray>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <tuple>

// What the load applies to windows and the program's end, which this target has none of.
Engine& engine();
bool SetScreenSize(int16_t mode);
void ApplySideTexts();
void EndProcess();

namespace {

FakeEngine* theEngine = nullptr;
int endRequests = 0;

[[noreturn]] void broken(const char* what, const QByteArray& detail = {})
{
    // Escaped, so that a file of CRs, NULs or other control bytes can be read in the log.
    std::fprintf(stderr, "settings invariant broken: %s %s\n", what,
                 detail.toPercentEncoding(" []=;\"'/\\").constData());
    std::abort();
}

auto fields(const SettingsRecord& s)
{
    return std::tie(s.speed, s.volume, s.mute, s.screen, s.balance, s.r_lbl, s.l_lbl, s.dir, s.dirsta);
}

const std::set<QByteArray> SettingsKeys = {"volume", "balance", "screen", "mute", "speed",
                                           "r_lbl",  "l_lbl",   "dir",    "dirsta"};

// Every key but the nine of the program's own section.
Keys othersOf(const QByteArray& file)
{
    Keys keys = keysOf(file);
    for (auto it = keys.begin(); it != keys.end();)
        it = it->first.first == "quorvel" && SettingsKeys.count(it->first.second) ? keys.erase(it) : std::next(it);
    return keys;
}

// What the folder loads as: the first dir line's value, blanks and one pair of quotes dropped,
// cut at a NUL. Empty when the line is missing.
QByteArray folderIn(const QByteArray& file)
{
    const Keys keys = keysOf(file);
    const auto found = keys.find({"quorvel", "dir"});
    if (found == keys.end())
        return {};
    QByteArray value = unquoted(blanksTrimmed(found->second));
    if (const int nul = value.indexOf('\0'); nul >= 0)
        value.truncate(nul);
    return value;
}

bool loadAsksNothing(FakePlatform& fake)
{
    fake.messages.clear();
    resetSettings();
    LoadSettings();
    return fake.messages.empty();
}

}  // namespace

Engine& engine()
{
    return *theEngine;
}

bool SetScreenSize(int16_t mode)
{
    Settings.screen = mode == 1 ? 1 : 0;
    return true;
}

void ApplySideTexts() {}

void EndProcess()
{
    ++endRequests;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FakePlatform fake;
    static FakeEngine fakeEngine;
    installPlatform(&fake);
    theEngine = &fakeEngine;
    if (size == 0)
        return 0;
    const bool answerYes = data[0] % 2 == 0;
    const QByteArray before(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    fake.writeSettingsFile(before);
    fake.answers = {answerYes ? MessageAnswer::Yes : MessageAnswer::No};
    fake.messages.clear();
    endRequests = 0;
    resetSettings();

    LoadSettings();
    if (fake.messages.size() > 1)
        broken("the load asked more than once");
    const bool asked = fake.messages.size() == 1;
    if (asked && !answerYes) {
        if (endRequests != 1)
            broken("No did not end the program");
        if (fake.settingsFileBytes() != before)
            broken("No changed the file");
        return 0;
    }
    if (endRequests != 0)
        broken("the program ended without a No");
    if (!asked) {
        const QByteArray folder = folderIn(before);
        if (folder.size() <= PrivateProfile::MaxValueBytes && QByteArray::fromStdString(Settings.dir) != folder)
            broken("the folder did not load as the file holds it", folder);
        SaveSettings();
    }
    const SettingsRecord saved = Settings;
    const QByteArray after = fake.settingsFileBytes();
    if (othersOf(after) != othersOf(before))
        broken("a save changed a key that is not a setting", after);

    if (!loadAsksNothing(fake))
        broken("what was saved does not load", after);
    // A folder's line breaks are written as blanks; nothing else may differ.
    SettingsRecord expected = saved;
    std::replace(expected.dir.begin(), expected.dir.end(), '\r', ' ');
    if (fields(Settings) != fields(expected))
        broken("what was saved loads otherwise", after);
    SaveSettings();
    if (fake.settingsFileBytes() != after)
        broken("a second save wrote other bytes", after + "\n  then\n" + fake.settingsFileBytes());
    return 0;
}
