#!/usr/bin/env bash
# Captures the screenshots of the held-out labelled click set: applications of
# toolkits the tuning set in ../labels does not use (GTK 4, Qt 6, Motif, GTK 2,
# FLTK, and a GTK dialog tool), light and dark, window captures (the client
# area) and screen captures of several overlapping windows and open menus. For
# a screen capture it writes the windows at the moment of the capture to
# windows.tsv (see stack.py). Run inside scripts/xsession.sh; writes next to
# this script, or into the folder given as $1. The click points and texts in
# clicks.tsv were read off these images: check them after a new capture.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
apps=(xdotool imagemagick x11-utils dbus-daemon gnome-calculator gtk-4-examples designer-qt6 qt6ct nedit lxappearance
  gtk2.0-examples fluid zenity)
missing=()
for p in "${apps[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d)
pids=()
stop_all() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  pids=()
  sleep 0.3
}
bus_pid=""
cleanup() {
  stop_all
  [ -z "$bus_pid" ] || kill "$bus_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config NO_AT_BRIDGE=1 GTK_A11Y=none GSETTINGS_BACKEND=memory
mkdir -p "$XDG_CONFIG_HOME"
# GTK 4 applications want a session bus.
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | head -1)
bus_pid=$(echo "$bus" | tail -1)
printf '%s\n' '# The windows of each screen capture, topmost first: image, client area (x, y, width, height in' \
  '# image pixels), and the decoration around it (left, right, top, bottom). Written by capture.sh.' \
  >"$out/windows.tsv.new"

# start WHICH COMMAND...: starts the command and sets $win to its newest
# visible window of WM_CLASS WHICH, or titled TITLE when WHICH is name:TITLE.
start() {
  local by=(--class "$1")
  [[ $1 != name:* ]] || by=(--name "${1#name:}")
  shift
  xdotool mousemove 1919 1079
  local before
  before=$(xdotool search --onlyvisible "${by[@]}" 2>/dev/null || true)
  "$@" >/dev/null 2>&1 &
  pids+=($!)
  win=""
  for _ in $(seq 150); do
    win=$(xdotool search --onlyvisible "${by[@]}" 2>/dev/null | grep -vxF "${before:-none}" | tail -1 || true)
    [ -n "$win" ] && break
    sleep 0.1
  done
  if [ -z "$win" ]; then
    echo "no window for ${by[*]}" >&2
    return 1
  fi
  sleep 1.5
}
# place X Y [W H]: moves (and sizes) $win.
place() {
  xdotool windowmove "$win" "$1" "$2"
  [ $# -lt 4 ] || xdotool windowsize "$win" "$3" "$4"
  sleep 1
}
front() {
  xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
  sleep 0.5
}
# keys KEY...: types the keys into $win.
keys() {
  front
  xdotool key --delay 80 "$@"
  sleep 1
}
type_text() {
  xdotool type --delay 40 "$1"
  sleep 0.5
}
# window_shot NAME: the client area of $win.
window_shot() {
  xdotool mousemove 1919 1079
  sleep 1
  import -window "$win" -strip "PNG24:$out/$1.png"
  echo "$1: $(identify -format '%wx%h' "$out/$1.png")"
}
# screen_shot NAME: the whole screen, and its windows in windows.tsv.
screen_shot() {
  sleep 1
  import -window root -strip "PNG24:$out/$1.png"
  "$here/stack.py" "$1.png" >>"$out/windows.tsv.new"
  echo "$1: $(identify -format '%wx%h' "$out/$1.png")"
}
# click X Y: a left click at a position in $win.
click() {
  xdotool mousemove --window "$win" "$1" "$2" click 1
  sleep 1
}

light() {
  echo "" | xrdb -load -
  export GTK_THEME=Adwaita ADW_DEBUG_COLOR_SCHEME=prefer-light GTK2_RC_FILES=$work/light.gtkrc
  export QT_QPA_PLATFORMTHEME=qt6ct QT_STYLE_OVERRIDE=Fusion
  printf '[Appearance]\ncustom_palette=false\nstyle=Fusion\n' >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf"
  fltk=()
}
dark() {
  printf '%s\n' '*background: #2b2b2b' '*foreground: #e6e6e6' '*selectBackground: #4a6984' \
    '*activeBackground: #3c3c3c' '*activeForeground: #ffffff' '*troughColor: #1e1e1e' \
    '*XmText*background: #1e1e1e' '*XmTextField*background: #1e1e1e' '*topShadowColor: #4a4a4a' \
    '*bottomShadowColor: #151515' | xrdb -load -
  export GTK_THEME=Adwaita:dark ADW_DEBUG_COLOR_SCHEME=prefer-dark GTK2_RC_FILES=$work/dark.gtkrc
  export QT_QPA_PLATFORMTHEME=qt6ct QT_STYLE_OVERRIDE=Fusion
  printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\nstyle=Fusion\n' \
    >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf"
  fltk=(-bg '#2b2b2b' -bg2 '#1e1e1e' -fg '#e6e6e6')
}
mkdir -p "$XDG_CONFIG_HOME/qt6ct"
: >"$work/light.gtkrc"
cat >"$work/dark.gtkrc" <<'GTKRC'
style "dark" {
  bg[NORMAL] = "#2b2b2b"  bg[PRELIGHT] = "#3c3c3c"  bg[ACTIVE] = "#353535"  bg[SELECTED] = "#4a6984"
  fg[NORMAL] = "#e6e6e6"  fg[PRELIGHT] = "#ffffff"  fg[ACTIVE] = "#e6e6e6"  fg[SELECTED] = "#ffffff"
  base[NORMAL] = "#1e1e1e"  text[NORMAL] = "#e6e6e6"  base[SELECTED] = "#4a6984"  text[SELECTED] = "#ffffff"
}
class "GtkWidget" style "dark"
GTKRC
printf 'Meeting notes\n\nAgenda for Tuesday\nBudget review\nNext steps\n' >"$work/notes.txt"

# Window captures.
for mode in light dark; do
  $mode
  start gnome-calculator gnome-calculator
  window_shot "gnome-calculator-$mode"
  stop_all
  start gtk4-widget-factory gtk4-widget-factory
  place 0 0 1400 820
  window_shot "widget-factory-$mode"
  stop_all
  start zenity zenity --forms --title="New contact" --text="Contact details" --add-entry="First name" \
    --add-entry="Last name" --add-entry="Email" --add-combo="Group" --combo-values="Family|Work|Friends"
  keys Tab
  type_text "Mara"
  window_shot "zenity-forms-$mode"
  stop_all
done

light
start designer /usr/lib/qt6/bin/designer
win=$(xdotool search --onlyvisible --name "New Form" | tail -1)
window_shot designer-newform-light
stop_all
dark
start designer /usr/lib/qt6/bin/designer
keys Escape
keys alt+s
keys Return
sleep 1
win=$(xdotool search --onlyvisible --name "Preferences" | tail -1)
window_shot designer-preferences-dark
stop_all

light
start NEdit nedit "$work/notes.txt"
keys ctrl+f
win=$(xdotool search --onlyvisible --name "Find" | tail -1)
type_text "budget"
window_shot nedit-find-light
stop_all
dark
start NEdit nedit "$work/notes.txt"
keys ctrl+r
win=$(xdotool search --onlyvisible --name "Replace" | tail -1)
window_shot nedit-replace-dark
stop_all

light
start Lxappearance lxappearance
window_shot lxappearance-light
stop_all
dark
start Gtk-demo gtk-demo
place 100 100 700 500
window_shot gtk2-demo-dark
stop_all

for mode in light dark; do
  $mode
  start name:Untitled.fl fluid "${fltk[@]}"
  keys alt+shift+p
  win=$(xdotool search --onlyvisible --name "GUI Settings" | tail -1)
  window_shot "fluid-settings-$mode"
  stop_all
done

# Screen captures: overlapping windows, then open menus.
light
start gnome-calculator gnome-calculator
place 60 60
start NEdit nedit "$work/notes.txt"
place 330 200 700 420
start Lxappearance lxappearance
place 900 380
screen_shot screen-desk-light
stop_all
dark
# Qt Designer opens maximised, beneath the others.
start designer /usr/lib/qt6/bin/designer
keys Escape
start NEdit nedit "$work/notes.txt"
place 120 120 760 480
start gnome-calculator gnome-calculator
place 700 80
screen_shot screen-desk-dark
stop_all

light
start NEdit nedit "$work/notes.txt"
place 200 150 700 420
front
click 20 12
screen_shot screen-menu-nedit-light
stop_all
start designer /usr/lib/qt6/bin/designer
keys Escape
win=$(xdotool search --onlyvisible --name "^Qt Designer$" | tail -1)
front
keys alt+f
screen_shot screen-menu-designer-light
stop_all
dark
start gnome-calculator gnome-calculator
place 300 200
start name:Untitled.fl fluid "${fltk[@]}"
place 800 200
front
keys alt+e
screen_shot screen-menu-fluid-dark
stop_all
start gtk4-widget-factory gtk4-widget-factory
place 0 0 1400 820
front
click 1245 26
screen_shot screen-menu-factory-dark
stop_all

mv "$out/windows.tsv.new" "$out/windows.tsv"
