#!/usr/bin/env bash
# The launcher's last way of telling a failure, a desktop notification: a message holding <, >
# and & reaches the notification as text, escaped, since notification servers read its body as
# markup. The launcher is made to fail (its scene folder cannot be made under a file) where
# neither zenity nor xmessage can show a dialog; stand-ins for the three programs, first on PATH,
# record what they are given, as the notification server would receive it.
source "$(dirname "$0")/lib.sh"
: "${LAUNCHER:?LAUNCHER names the built morvane-launcher}"

stand_ins=$E2E_WORK/bin
mkdir "$stand_ins"
cat >"$stand_ins/zenity" <<'SH'
#!/bin/sh
echo "cannot open display" >&2
exit 1
SH
printf '#!/bin/sh\nexit 1\n' >"$stand_ins/xmessage"
cat >"$stand_ins/notify-send" <<'SH'
#!/bin/sh
# The body is the last argument.
for argument; do body=$argument; done
printf '%s' "$body" >"$NOTIFIED"
SH
chmod +x "$stand_ins"/*

odd=$E2E_WORK/'a <b> & c'
mkdir "$odd"
touch "$odd/file"
export NOTIFIED=$E2E_WORK/notified.txt
PATH=$stand_ins:$PATH DISPLAY=${DISPLAY:-:0} MORVANE_SCENE_DIR=$odd/file/scene \
    bash "$LAUNCHER" >/dev/null 2>"$E2E_WORK/stderr.txt"
status=$?
check "the launcher fails with status 1 (got $status)" [ "$status" = 1 ]
check "it notifies when no dialog can be shown" [ -s "$NOTIFIED" ]
body=$(cat "$NOTIFIED" 2>/dev/null)
note "notification body: $body"
expected="Morvane could not create its scene folder $odd/file/scene/glsl"
expected=${expected//&/'&amp;'}
expected=${expected//</'&lt;'}
expected=${expected//>/'&gt;'}
check "the folder's <, > and & are escaped" [ "${body#"$expected"}" != "$body" ]
bare=$(sed -e 's/&amp;//g' -e 's/&lt;//g' -e 's/&gt;//g' "$NOTIFIED" 2>/dev/null)
check "no bare <, > or & is left in the body" bash -c '[[ $1 != *[\<\>\&]* ]]' - "$bare"
check "standard error keeps the text as it is" grep -qF "$odd/file/scene/glsl" "$E2E_WORK/stderr.txt"
finish
