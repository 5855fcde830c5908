#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb: the main window in English, time
# stamps with the find bar, a paced file send, the bus view, the Japanese menus and the setup dialog. COM1 is a pseudo-terminal that loops every byte back, so
# the report shows a command's echo and the packet that came back.
#   scripts/screenshots.sh [build-dir]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/install-deps.sh" xvfb xauth fonts-ipafont-gothic x11-apps xdotool xclip netpbm python3

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tamsel -j2

work=$(mktemp -d)
pids=()
source "$root/scripts/lib/xvfb.sh"
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT

# The far side of the line: echoes what it reads.
python3 - "$work/pty" <<'PY' &
import os, pty, select, sys, tty
master, slave = pty.openpty()
tty.setraw(slave)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(os.ttyname(slave))
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
while True:
    select.select([master], [], [])
    os.write(master, os.read(master, 4096))
PY
pids+=($!)
for _ in $(seq 50); do [ -f "$work/pty" ] && break; sleep 0.1; done
device=$(cat "$work/pty")

xvfb_start 900x600

# The main window's id once it is up.
main_window() {
  local id=""
  for _ in $(seq 50); do
    id=$(xdotool search --name "TamSel Serial port Monitor" 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# Grabs the main window with any open menu pasted over it: menus are windows
# of their own, which a grab of the root window leaves out under Xvfb.
shoot() {
  local main left top window X Y WIDTH HEIGHT
  main=$(main_window)
  eval "$(xdotool getwindowgeometry --shell "$main")"
  left=$X; top=$Y
  xwd -id "$main" -silent | xwdtopnm 2>/dev/null > "$work/shot.ppm"
  for window in $(xdotool search --onlyvisible --name "" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$window" = "$main" ] && continue
    # The root window and anything not inside the main window's area.
    [ "$X" -lt "$left" ] || [ "$Y" -lt "$top" ] && continue
    [ "$WIDTH" -ge 900 ] && continue
    xwd -id "$window" -silent | xwdtopnm 2>/dev/null > "$work/popup.ppm"
    pnmpaste "$work/popup.ppm" $((X - left)) $((Y - top)) "$work/shot.ppm" > "$work/pasted.ppm"
    mv "$work/pasted.ppm" "$work/shot.ppm"
  done
  pnmtopng "$work/shot.ppm" > "$1"
  echo "wrote $1"
}

profile() {
  mkdir -p "$work/$1/Pellmark"
  printf '[tamsel_OV]\ncomport=COM1\ncomspeed=115200\nreceiveXrate=4\nsendXrate=4\n' \
    > "$work/$1/Pellmark/TamSel Serial port Monitor 1.1 (OV1.1).conf"
}

# A window on X must survive pasting when nothing is copied: the clipboard's
# owner has gone, and the PRIMARY selection is empty. Ctrl+V, Shift+Insert
# and a middle click on the command line, then the window must still be there.
profile paste
printf 'gone' | xclip -selection clipboard -loops 1 &
sleep 0.2
xclip -selection clipboard -o >/dev/null   # the one paste it serves; then it exits
XDG_CONFIG_HOME="$work/paste" "$build/app/tamsel" --map "COM1=$device" &
pids+=($!)
tamsel_pid=${pids[-1]}
window=$(main_window)
xdotool windowfocus --sync "$window" 2>/dev/null || true
still_running() { # what was just done
  sleep 1
  kill -0 "$tamsel_pid" 2>/dev/null && return
  local status=0
  wait "$tamsel_pid" || status=$?
  echo "paste with an empty clipboard: tamsel ended with status $status after $1" >&2
  exit 1
}
xdotool key ctrl+v shift+Insert
still_running "Ctrl+V and Shift+Insert"
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 40)) $((Y + HEIGHT - 40)) click 2
still_running "a middle click on the command line"
echo "paste with an empty clipboard: window still running"
kill "$tamsel_pid"; sleep 1

# English: a command sent and its looped-back packet decoded.
profile en
env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 XDG_CONFIG_HOME="$work/en" \
  "$build/app/tamsel" --map "COM1=$device" &
pids+=($!)
main_window >/dev/null
sleep 3   # the reader thread's first read comes 2 s after the start
xdotool type --delay 20 "get16 5 3"
xdotool key Return
sleep 1
xdotool key ctrl+a
xdotool type --delay 20 "set16 5 3 1234"
xdotool key Return
sleep 1
shoot "$root/docs/tamsel-main-en.png"
kill "${pids[-1]}"; sleep 1

# Raw text with time stamps, and the find bar on a match. Local echo shows
# each command; the looped-back line comes after it with its time.
mkdir -p "$work/find/Pellmark"
printf '[tamsel_OV]\ncomport=COM1\ncomspeed=115200\nreceiveXrate=0\nsendXrate=0\n[report]\ntimestamps=1\n' \
  > "$work/find/Pellmark/TamSel Serial port Monitor 1.1 (OV1.1).conf"
env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 XDG_CONFIG_HOME="$work/find" \
  XDG_STATE_HOME="$work/find" "$build/app/tamsel" --map "COM1=$device" &
pids+=($!)
main_window >/dev/null
sleep 3
for command in "AT+VERSION?" "AT+TEMP?" "AT+STATUS?"; do
  xdotool key ctrl+a
  xdotool type --delay 20 "$command"
  xdotool key Return
  sleep 0.5
done
xdotool key ctrl+f
xdotool type --delay 20 "temp"
sleep 1
shoot "$root/docs/tamsel-find-stamps.png"
kill "${pids[-1]}"; sleep 1

# A file on its way out, paced, with the send bar over the command line; the
# far side loops each line back into the report. The File menu clicked open,
# Send file by its mnemonic, then the file's name typed into the file dialog.
mkdir -p "$work/send/Pellmark"
printf '[tamsel_OV]\ncomport=COM1\ncomspeed=115200\nreceiveXrate=0\nsendXrate=0\n[sendfile]\nchardelay=15\nlinedelay=150\n' \
  > "$work/send/Pellmark/TamSel Serial port Monitor 1.1 (OV1.1).conf"
for n in $(seq 1 40); do printf 'SET CH%02d LEVEL %d\r\n' "$n" $((n * 25)); done > "$work/levels.txt"
env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 XDG_CONFIG_HOME="$work/send" \
  XDG_STATE_HOME="$work/send" "$build/app/tamsel" --map "COM1=$device" &
pids+=($!)
main_window >/dev/null
sleep 3
xdotool mousemove 20 8 click 1
sleep 0.5
xdotool key f
sleep 1.5
xdotool type --delay 10 "$work/levels.txt"
xdotool key Return
sleep 5
shoot "$root/docs/tamsel-send-file.png"
kill "${pids[-1]}"; sleep 1

# The bus view with the demo: register 15 of nodes 1 and 12 plotted as the
# demo's traffic (every 3 s) advances them. The window is moved into the
# screen's corner so that all of it is drawn.
profile bus
printf '[busview]\nplots=1:16:15 12:32:15\nminutes=1\n' \
  >> "$work/bus/Pellmark/TamSel Serial port Monitor 1.1 (OV1.1).conf"
env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 XDG_CONFIG_HOME="$work/bus" \
  "$build/app/tamsel" --demo --bus-view &
pids+=($!)
main_window >/dev/null
bus=""
for _ in $(seq 50); do
  bus=$(xdotool search --name "^Bus view$" 2>/dev/null | head -1) && [ -n "$bus" ] && break
  sleep 0.1
done
xdotool windowsize "$bus" 760 560 windowmove "$bus" 0 0 windowraise "$bus"
sleep 60
xwd -id "$bus" -silent | xwdtopnm 2>/dev/null | pnmtopng > "$root/docs/tamsel-bus-view.png"
echo "wrote $root/docs/tamsel-bus-view.png"
kill "${pids[-1]}"; sleep 1

# Japanese: the receive conversion menu open, its Orvane 1.1 item highlighted
# and its prompt in the message pane. Without a window manager the window is
# at the top left; the menu title is clicked where the Japanese font puts it.
profile ja
env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=ja_JP.UTF-8 XDG_CONFIG_HOME="$work/ja" \
  "$build/app/tamsel" --map "COM1=$device" &
pids+=($!)
main_window >/dev/null
sleep 1
xdotool mousemove 210 8 click 1
sleep 0.5
xdotool mousemove 230 100
sleep 2
shoot "$root/docs/tamsel-menus-ja.png"

# Japanese: the setup dialog over the window (File, then its first item), every
# label and list entry whole in the font a Japanese desktop gives it.
xdotool key Escape
sleep 0.5
xdotool mousemove 20 8 click 1
sleep 0.5
xdotool mousemove 60 28 click 1
sleep 1
shoot "$root/docs/tamsel-setup-ja.png"
