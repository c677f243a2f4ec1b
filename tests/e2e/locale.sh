#!/usr/bin/env bash
# The viewer under a user's locale (the argument, e.g. tr_TR.UTF-8) against the same steps under
# C.UTF-8: the same picture, the same verdict and log text for a good and a broken edit and for a
# failed save, the same captions and window classes, and a clean exit in both.
source "$(dirname "$0")/lib.sh"

wanted=${1:?usage: locale.sh LOCALE}
if ! locale -a | grep -qix "${wanted%.UTF-8}.utf8"; then
    fail "the $wanted locale is installed (scripts/install-deps.sh generates it)"
    finish
fi

# One run of the same steps under a locale; what it shows is kept under $E2E_WORK/<tag>-*.
run_under() {  # locale tag
    VIEWER_ENV=(LANG="$1" LC_ALL="$1")
    new_folder
    start_viewer
    shot "$2-start"
    caption "$MAIN" >"$E2E_WORK/$2-main-caption"
    caption "$DLG" >"$E2E_WORK/$2-dialog-caption"
    window_class "$MAIN" >"$E2E_WORK/$2-main-class"
    window_class "$DLG" >"$E2E_WORK/$2-dialog-class"
    tr '\0' '\n' <"/proc/$MORVANE_PID/environ" | grep -x "LC_ALL=.*" >"$E2E_WORK/$2-environment"

    focus_source_start
    type_text '#define TINT 1.0
'
    settle
    shot "$2-tinted"
    read_log >"$E2E_WORK/$2-good-log"

    focus_source_start
    type_text 'oops '
    settle
    read_log >"$E2E_WORK/$2-bad-log"

    rm "$FOLDER/glsl/pixelShader.glsl"
    mkdir "$FOLDER/glsl/pixelShader.glsl"
    # The viewer follows the file: its word on the folder in the file's place comes first, so that
    # both runs see the same order before Save.
    settle 1
    click_save
    settle 1
    read_log | sed "s|$FOLDER|FOLDER|g" >"$E2E_WORK/$2-save-log"

    close_main
    wait_exit
    echo "$EXIT_STATUS" >"$E2E_WORK/$2-exit"
    cp "$FOLDER/stderr.txt" "$E2E_WORK/$2-stderr"
}

# The two runs' records of one thing are the same.
same_record() { cmp -s "$E2E_WORK/c-$1" "$E2E_WORK/user-$1"; }
record() { cat "$E2E_WORK/$1"; }

run_under C.UTF-8 c
run_under "$wanted" user

check "under C.UTF-8 the main window's caption is the program's (got: $(record c-main-caption))" \
    [ "$(record c-main-caption)" = "Morvane - by the Morvane team" ]
check "under C.UTF-8 the Settings window's caption is Settings (got: $(record c-dialog-caption))" \
    [ "$(record c-dialog-caption)" = "Settings" ]
check "under C.UTF-8 a good edit compiles (got: $(record c-good-log))" \
    [ "$(record c-good-log)" = "Compilation succeeded!" ]
check "under C.UTF-8 a broken edit shows the compiler's error (got: $(record c-bad-log))" \
    grep -qi 'error' "$E2E_WORK/c-bad-log"
check "under C.UTF-8 a failed save is reported (got: $(record c-save-log))" \
    grep -q "^File couldn't be saved." "$E2E_WORK/c-save-log"

check "the program ran under $wanted (got: $(record user-environment))" [ "$(record user-environment)" = "LC_ALL=$wanted" ]
check "the C library and GTK took $wanted (no locale warning)" bash -c '! grep -qi "locale" "$1"' _ "$E2E_WORK/user-stderr"
check "under $wanted the first picture is the same" same_picture c-start user-start
check "under $wanted the edited picture is the same" same_picture c-tinted user-tinted
check "under $wanted the main window's caption is the same (got: $(record user-main-caption))" same_record main-caption
check "under $wanted the Settings window's caption is the same (got: $(record user-dialog-caption))" same_record dialog-caption
check "under $wanted the main window's class is the same (got: $(record user-main-class))" same_record main-class
check "under $wanted the Settings window's class is the same (got: $(record user-dialog-class))" same_record dialog-class
check "under $wanted a good edit compiles (got: $(record user-good-log))" same_record good-log
check "under $wanted a broken edit gives the same log (got: $(record user-bad-log))" same_record bad-log
check "under $wanted a failed save gives the same log (got: $(record user-save-log))" same_record save-log
check "under C.UTF-8 closing ends the program with status 0 (got $(record c-exit))" [ "$(record c-exit)" = 0 ]
check "under $wanted closing ends the program with status 0 (got $(record user-exit))" [ "$(record user-exit)" = 0 ]
finish
