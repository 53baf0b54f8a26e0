#!/usr/bin/env bash
# Captures the screenshots of the labelled click set: third-party applications
# of several toolkits (Xaw, GTK 3, Qt 5, Tk), light and dark, each image the
# window's client area. Run inside scripts/xsession.sh; writes the PNGs next to
# this script, or into the folder given as $1. The click points and texts in
# clicks.tsv were read off these images: check them after a new capture.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
apps=(x11-apps xterm galculator mousepad featherpad speedcrunch gitk qt5ct)
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
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config NO_AT_BRIDGE=1
mkdir -p "$XDG_CONFIG_HOME/git"

# shot NAME CLASS COMMAND...: starts the command, waits for its window of
# WM_CLASS CLASS, types $KEYS into it when set, lets it paint, saves the client
# area and ends the command.
shot() {
  local name=$1 class=$2
  shift 2
  # Keep the pointer away so that no tooltip opens over the window.
  xdotool mousemove 1919 1079
  "$@" >/dev/null 2>&1 &
  local pid=$!
  local win=""
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --class "$class" 2>/dev/null | tail -1 || true)
    [ -n "$win" ] && break
    sleep 0.1
  done
  if [ -z "$win" ]; then
    echo "no window for $name" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
  sleep 1
  if [ -n "${KEYS:-}" ]; then
    xdotool key --window "$win" $KEYS
    sleep 0.5
  fi
  sleep 1.5
  import -window "$win" -strip "PNG24:$out/$name.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  sleep 0.3
  echo "$name: $(identify -format '%wx%h' "$out/$name.png")"
}

# Xaw and Tk read their colours from the X resources.
dark_resources='*background: #2b2b2b
*foreground: #e6e6e6
*selectBackground: #4a6984
*activeBackground: #3c3c3c
*activeForeground: #ffffff
*troughColor: #1e1e1e'
resources() { echo "$1" | xrdb -load -; }
gitk_colours() {
  printf 'set uicolor %s\nset bgcolor %s\nset fgcolor %s\nset selectbgcolor %s\n' "$@" >"$XDG_CONFIG_HOME/git/gitk"
}

git -C "$work" init -q repo
for i in 1 2 3; do
  echo "line $i" >>"$work/repo/notes.txt"
  git -C "$work/repo" add notes.txt
  GIT_COMMITTER_DATE="2024-03-0$i 10:00" git -C "$work/repo" -c user.name="Ada Lovelace" -c user.email=ada@example.org \
    commit -q --date="2024-03-0$i 10:00" -m "Add note number $i"
done
printf 'Shopping list\n\nApples and pears\nBread\nCoffee beans\n' >"$work/notes.txt"

resources ""
shot xcalc-light XCalc xcalc
shot gitk-light Gitk sh -c "cd '$work/repo' && exec gitk"
shot galculator-light Galculator galculator
shot mousepad-light Mousepad mousepad "$work/notes.txt"
shot featherpad-light FeatherPad featherpad "$work/notes.txt"
KEYS=ctrl+k shot speedcrunch-light SpeedCrunch speedcrunch
shot xterm-light XTerm xterm -geometry 80x12 -e sh -c "cd '$work/repo' && ls -l && git log --oneline && sleep 30"

resources "$dark_resources"
shot xcalc-dark XCalc xcalc
gitk_colours '#2b2b2b' '#1e1e1e' '#e6e6e6' '#4a6984'
shot gitk-dark Gitk sh -c "cd '$work/repo' && exec gitk"
shot xterm-dark XTerm xterm -rv -geometry 80x12 -e sh -c "cd '$work/repo' && ls -l && git log --oneline && sleep 30"
resources ""
# GTK takes the dark variant of its theme, Qt 5 a dark palette through qt5ct.
mkdir -p "$XDG_CONFIG_HOME/gtk-3.0" "$XDG_CONFIG_HOME/qt5ct"
printf '[Settings]\ngtk-theme-name=Adwaita\ngtk-application-prefer-dark-theme=1\n' >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
printf '[Appearance]\ncolor_scheme_path=/usr/share/qt5ct/colors/darker.conf\ncustom_palette=true\nstyle=Fusion\n' \
  >"$XDG_CONFIG_HOME/qt5ct/qt5ct.conf"
export QT_QPA_PLATFORMTHEME=qt5ct
shot galculator-dark Galculator galculator
shot mousepad-dark Mousepad mousepad "$work/notes.txt"
shot featherpad-dark FeatherPad featherpad "$work/notes.txt"
KEYS=ctrl+k shot speedcrunch-dark SpeedCrunch speedcrunch
