#!/usr/bin/env bash
# Orbit with a left-button drag, zoom with the wheel, and "Reset Camera" restoring the first
# picture exactly.
source "$(dirname "$0")/lib.sh"

new_folder
start_viewer
shot start
settle 0.5
shot start-again
check "the picture of a still camera does not change" same_picture start start-again

drag_main 300 300 420 330
settle
shot dragged
check "a left-button drag orbits the camera" different_picture start dragged

wheel_main 4
settle
shot zoomed
check "a wheel notch zooms" different_picture dragged zoomed

xdo mousemove --window "$MAIN" 200 200 mousemove --window "$MAIN" 500 400
settle 0.5
shot moved-without-button
check "moving without a button leaves the camera" same_picture zoomed moved-without-button

click_reset_camera
settle
shot reset
check "Reset Camera restores the first picture exactly" same_picture start reset
check "the program is still running" running
finish
