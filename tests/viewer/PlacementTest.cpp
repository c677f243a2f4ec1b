// Where the settings dialog is placed beside the main window, and how it is kept inside the work
// area.
#include <gtest/gtest.h>

#include "platform/Windows.h"
#include "viewer/SettingsDlg.h"

// A dialog 500 x 560 outside and 494 wide inside (frame 6), beside an 800 x 600 main window.
TEST(PlaceBeside, BesideWhereItFitsElseInsideTheWorkArea)
{
    const RECT dialog{0, 0, 500, 560};
    const RECT client{0, 0, 494, 530};
    const RECT screen{0, 0, 1920, 1080};
    auto expectAt = [](const RECT& placed, LONG left, LONG top) {
        EXPECT_EQ(placed.left, left);
        EXPECT_EQ(placed.top, top);
        EXPECT_EQ(placed.right - placed.left, 500) << "the dialog keeps its width";
        EXPECT_EQ(placed.bottom - placed.top, 594) << "the main window's height less the frame";
    };

    // Where it fits: a frame's width right of and below the main window's corner.
    expectAt(Morvane::PlacementBeside(RECT{0, 0, 800, 600}, dialog, client, screen), 806, 6);
    expectAt(Morvane::PlacementBeside(RECT{100, 50, 900, 650}, dialog, client, screen), 906, 56);
    // Exactly touching the work area's right and bottom edges still counts as fitting.
    expectAt(Morvane::PlacementBeside(RECT{614, 486, 1414, 1086}, dialog, client,
                                      RECT{0, 0, 1920, 1086}),
             1420, 492);

    // Off the right edge (1280 wide): pulled left over the main window, top unchanged.
    expectAt(Morvane::PlacementBeside(RECT{8, 8, 808, 608}, dialog, client, RECT{0, 0, 1280, 740}),
             780, 14);
    // Off the bottom edge: lifted just enough.
    expectAt(Morvane::PlacementBeside(RECT{100, 600, 900, 1200}, dialog, client, screen), 906, 486);
    // Off both, in a work area that starts below a panel and right of a dock, on a second monitor.
    expectAt(Morvane::PlacementBeside(RECT{1960, 300, 2760, 900}, dialog, client,
                                      RECT{1970, 30, 3000, 800}),
             2500, 206);
    // Off the left and top edges of a work area that does not start at the origin.
    expectAt(Morvane::PlacementBeside(RECT{-900, -200, -100, 400}, dialog, client,
                                      RECT{50, 40, 1920, 1080}),
             50, 40);

    // Larger than the work area: its top-left corner at the work area's.
    expectAt(Morvane::PlacementBeside(RECT{10, 10, 810, 610}, dialog, client, RECT{20, 30, 420, 330}),
             20, 30);
}
