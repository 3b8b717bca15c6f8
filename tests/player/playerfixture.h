// The playback controller's test bench: a play list of real (empty) movie files in a temporary
// folder, a recording view, the fake control factory, scripted prompts and fake platform services.
#pragma once

#include "core/playlist.h"
#include "core/settings.h"
#include "platform/screensaver.h"
#include "player/playbackcontroller.h"
#include "player/programstarter.h"
#include "support/fakeflashcontrol.h"
#include "support/scriptedprompts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace kivamo::test {

// Keeps the last value of every element and the order of the window-mode changes.
class RecordingView : public PlayerView {
public:
    TransportLook look = TransportLook::halted();
    int lookChanges = 0;
    QString glyph, position, stateText, titleItem, caption;
    int qualityImage = -1;
    bool slidersEnabled = false;
    int sliderMaximum = -1;
    int sliderValue = -1;
    std::map<PlayerTimer, bool> timers;
    int scrolledTo = -2;
    WindowPanels panels;
    QStringList modes;  // "full", "windowed"
    WindowedLayout lastLayout;

    void showTransportLook(const TransportLook& l) override { look = l; glyph = l.stateGlyph; ++lookChanges; }
    void setStateGlyph(const QString& g) override { glyph = g; }
    void setPositionText(const QString& t) override { position = t; }
    void setStateText(const QString& t) override { stateText = t; }
    void setTitleItemCaption(const QString& t) override { titleItem = t; }
    void setWindowCaption(const QString& t) override { caption = t; }
    void setQualityImageIndex(int i) override { qualityImage = i; }
    void setSlidersEnabled(bool e) override { slidersEnabled = e; }
    void setSliderMaximum(int m) override { sliderMaximum = m; }
    void setSliderValue(int v) override { sliderValue = v; }
    void setTimerEnabled(PlayerTimer t, bool e) override { timers[t] = e; }
    void scrollToEntry(int i) override { scrolledTo = i; }
    WindowPanels windowPanels() const override { return panels; }
    void showFullScreen() override { modes << QStringLiteral("full"); }
    void showWindowed(const WindowedLayout& l) override { modes << QStringLiteral("windowed"); lastLayout = l; }

    bool looksPlaying() const { return look.pauseButtonVisible; }
};

class RecordingStarter : public ProgramStarter {
public:
    QStringList started;
    bool startDetached(const QString& program) override { started << program; return true; }
};

class FakeScreenSaver : public ScreenSaverInhibitor {
public:
    bool inhibited = false;
    void setInhibited(bool on) override { inhibited = on; }
    bool isInhibited() const override { return inhibited; }
};

class PlayerTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    PlayList list;
    Settings settings;
    ScriptedPrompts prompts;
    RecordingView view;
    FakeFlashControlFactory controls;
    RecordingStarter starter;
    FakeScreenSaver screenSaver;
    std::unique_ptr<PlaybackController> player;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        player = std::make_unique<PlaybackController>(PlaybackServices{
            list, settings, prompts, view, controls.factory(), starter, screenSaver, dir.path() + "/"});
    }

    // An entry whose movie file exists (its bytes do not matter to the controller).
    int addMovie(const QString& name, const QString& author = QStringLiteral("未知"))
    {
        const QString path = dir.filePath(name + ".swf");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        MovieEntry entry;
        entry.title = name;
        entry.path = path;
        entry.author = author;
        list.append(entry);
        return list.count() - 1;
    }

    QString pathOf(int index) const { return list.at(index).path; }

    void play(int index)
    {
        player->setCurrentIndex(index);
        player->playCurrentEntry();
    }

    // Plays the entry and lets its control report the whole movie loaded.
    FakeFlashControl& playReady(int index)
    {
        play(index);
        FakeFlashControl* control = controls.current();
        EXPECT_NE(control, nullptr);
        control->raiseReadyState(4);
        control->calls.clear();
        return *control;
    }
};

}  // namespace kivamo::test
