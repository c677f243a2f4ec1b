// The watch over frames that never end: what it decides about a stopped frame, the limit a user
// sets, the state a restart hands to the next start, and the real watcher thread staying quiet
// while frames come and ending the program with its sentence when they stop.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "viewer/RestartState.h"
#include "viewer/RunawayWatch.h"

using Morvane::DecideOnStall;
using Morvane::StallAction;

TEST(RunawayWatch, AFileThatStopsItsFirstFramesEndsTheViewer)
{
    for (bool restartedForFile : {false, true}) {
        EXPECT_EQ(DecideOnStall(false, false, restartedForFile), StallAction::EndFileStops)
            << "after a restart for the file " << restartedForFile;
    }
}

TEST(RunawayWatch, AnEditThatStopsAFrameRestartsFromTheFileEvenInTheFirstFramesOrAfterARestart)
{
    for (bool firstFramesDone : {false, true}) {
        for (bool restartedForFile : {false, true}) {
            EXPECT_EQ(DecideOnStall(firstFramesDone, true, restartedForFile), StallAction::RestartForEdit)
                << "past the first frames " << firstFramesDone << ", after a restart for the file " << restartedForFile;
        }
    }
}

TEST(RunawayWatch, TheFilesOwnTextGetsOneMoreStartThenEndsTheViewer)
{
    EXPECT_EQ(DecideOnStall(true, false, false), StallAction::RestartForFile);
    EXPECT_EQ(DecideOnStall(true, false, true), StallAction::EndFileStops);
}

TEST(RunawayWatch, TheLimitIsTenSecondsUnlessAUsableNumberIsSet)
{
    EXPECT_EQ(Morvane::ParseStallLimit(nullptr).seconds, 10.0f);
    EXPECT_EQ(Morvane::ParseStallLimit(nullptr).notice, L"");
    EXPECT_EQ(Morvane::ParseStallLimit("").notice, L"") << "set but empty counts as not set";
    EXPECT_EQ(Morvane::ParseStallLimit("3").seconds, 3.0f);
    EXPECT_FLOAT_EQ(Morvane::ParseStallLimit("2.5").seconds, 2.5f);
    EXPECT_FLOAT_EQ(Morvane::ParseStallLimit("0.25").seconds, 0.25f);
    EXPECT_EQ(Morvane::ParseStallLimit("30.").seconds, 30.0f);
    EXPECT_EQ(Morvane::ParseStallLimit("0").seconds, 0.0f) << "0 turns the watch off";
    EXPECT_EQ(Morvane::ParseStallLimit("0").notice, L"");
    for (const char* bad : {"abc", "-1", "1e3", "1.2.3", ".", "3 s", "2,5", "100001"}) {
        const Morvane::StallLimit limit = Morvane::ParseStallLimit(bad);
        EXPECT_EQ(limit.seconds, 10.0f) << bad;
        EXPECT_NE(limit.notice.find(L"MORVANE_STALL_SECONDS is \""), std::wstring::npos) << bad;
        EXPECT_NE(limit.notice.find(L"after a frame of 10 s"), std::wstring::npos) << bad;
    }
    EXPECT_NE(Morvane::ParseStallLimit("x\x01y").notice.find(L"\"x?y\""), std::wstring::npos)
        << "a control character is not put into the log as it is";
}

TEST(RestartState, SecondsAreWrittenWithoutNeedlessDecimals)
{
    EXPECT_EQ(Morvane::SecondsText(10.0f), L"10");
    EXPECT_EQ(Morvane::SecondsText(2.5f), L"2.5");
    EXPECT_EQ(Morvane::SecondsText(0.125f), L"0.125");
    EXPECT_EQ(Morvane::SecondsText(3.0004f), L"3");
    EXPECT_EQ(Morvane::SecondsText(0.05f), L"0.05");
}

TEST(RestartState, WhatIsWrittenIsReadBackWithWindowsOnAnyMonitor)
{
    Morvane::RestartState state;
    state.cause = Morvane::StallCause::File;
    state.stallSeconds = 2.5f;
    state.placesKnown = true;
    state.places.mainWindow = RECT{-1920, -40, -1100, 629};
    state.places.settings = RECT{806, 6, 1500, 629};
    const std::wstring text = Morvane::FormatRestartState(state);
    Morvane::RestartState read;
    ASSERT_TRUE(Morvane::ParseRestartState(text, read)) << text;
    EXPECT_EQ(read.cause, Morvane::StallCause::File);
    EXPECT_FLOAT_EQ(read.stallSeconds, 2.5f);
    ASSERT_TRUE(read.placesKnown);
    EXPECT_EQ(read.places.mainWindow.left, -1920);
    EXPECT_EQ(read.places.mainWindow.top, -40);
    EXPECT_EQ(read.places.mainWindow.right, -1100);
    EXPECT_EQ(read.places.mainWindow.bottom, 629);
    EXPECT_EQ(read.places.settings.left, 806);
    EXPECT_EQ(read.places.settings.bottom, 629);

    state.cause = Morvane::StallCause::Edit;
    state.placesKnown = false;
    ASSERT_TRUE(Morvane::ParseRestartState(Morvane::FormatRestartState(state), read));
    EXPECT_EQ(read.cause, Morvane::StallCause::Edit);
    EXPECT_FALSE(read.placesKnown) << "a restart before the places were read moves no window";
}

TEST(RestartState, AnythingElseIsNoRestartAndChangesNothing)
{
    const wchar_t* const bad[] = {
        L"",
        L"stall=10",                                   // no cause
        L"cause=edit",                                 // no time
        L"cause=loop stall=10",                        // an unknown cause
        L"cause=edit stall=10 colour=red",             // an unknown key
        L"cause=edit cause=file stall=10",             // said twice
        L"cause=edit stall=2,5",                       // a decimal comma
        L"cause=edit stall=10 main=0,0,800,600",       // one window without the other
        L"cause=edit stall=10 main=0,0,800 settings=0,0,10,10",
        L"cause=edit stall=10 main=0,0,800,600,1 settings=0,0,10,10",
        L"cause=edit stall=10 main=800,0,0,600 settings=0,0,10,10",   // inside out
        L"cause=edit stall=10 main=0,0,800,600 settings=0,0,99999999999,10",
        L"cause=edit stall=10 main=0,0,8x0,600 settings=0,0,10,10",
        L"cause=edit stall",
    };
    for (const wchar_t* text : bad) {
        Morvane::RestartState state;
        state.stallSeconds = 7.0f;
        EXPECT_FALSE(Morvane::ParseRestartState(text, state)) << std::wstring(text).c_str();
        EXPECT_EQ(state.stallSeconds, 7.0f);
    }
}

TEST(RunawayWatch, FramesThatKeepComingKeepTheWatchQuiet)
{
    // A frame of 0.1 s against a limit of 0.5 s, for three times the limit: a watch that fired
    // would end or restart this test program.
    setenv("MORVANE_STALL_SECONDS", "0.5", 1);
    {
        Morvane::RunawayWatch watch;
        watch.Start(L"glsl/pixelShader.glsl");
        for (int i = 0; i < 15; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            watch.FrameStarts();
        }
        watch.Stop();
        // Stopped: no frames at all for longer than the limit is no stall.
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
    }
    unsetenv("MORVANE_STALL_SECONDS");
    SUCCEED();
}

TEST(RunawayWatchDeathTest, AFirstFrameThatNeverEndsEndsTheProgramWithTheSentence)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("MORVANE_STALL_SECONDS", "0.3", 1);
            unsetenv("MORVANE_RESTART");
            Morvane::RunawayWatch watch;
            watch.Start(L"glsl/pixelShader.glsl");
            watch.FrameStarts();
            std::this_thread::sleep_for(std::chrono::seconds(5));
            std::exit(0);
        },
        testing::ExitedWithCode(1),
        "Morvane stopped: the shader file glsl/pixelShader.glsl stops the picture: its first frame did not finish "
        "within 0.3 s");
}
