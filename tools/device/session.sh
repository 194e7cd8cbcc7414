# The emulated device as a session, sourced by ./lumivex.
#
# A device is a Wine prefix ($WINEPREFIX) with, while it is in use, one persistent wineserver,
# the prefix's services and its 240 x 320 virtual desktop on one X display: a private Xvfb for
# commands without a screen, or the user's display for the viewer. The first command that
# needs the device starts it; later commands find it and reuse it. Nothing a command does
# ends it: it ends by itself once no program has used it for $LUMIVEX_IDLE_SECONDS (default
# 300, and a few seconds more), or on purpose through `./lumivex stop`.
#
# What a session keeps lives beside the prefix, in $WINEPREFIX.session/:
#   lock      held (flock) only while a command starts or ends the session
#   display   the X display its desktop is on
#   xvfb      the private X server's process id, when it has one
#   server    the wineserver's process id
#   view.out, view.err  what the last viewer on the user's display printed
#
# Needs: log, ensure_prefix, WIN_BUILD.

IDLE_SECONDS=${LUMIVEX_IDLE_SECONDS:-300}
WINE_LOADER=/usr/lib/wine/wine64
WINE_SERVER=/usr/lib/wine/wineserver64
# Wine's own processes: they come and go with the session and use nobody's device.
WINE_SYSTEM_PROGRAMS=" explorer.exe services.exe winedevice.exe plugplay.exe svchost.exe rpcss.exe conhost.exe
  wineboot.exe start.exe lmx_desktop_keeper.exe "

# The first line of FILE into VAR, or false when there is none (a builtin: no process).
read_state() {
  local -n into=$1
  into=
  [ -f "$2" ] && read -r into <"$2" 2>/dev/null
  [ -n "$into" ]
}

# The lock's descriptor while this command holds it; programs started meanwhile must not
# inherit it, or a killed command would leave the lock held by the device's services.
SESSION_LOCK_FD=
nolock() {
  if [ -n "$SESSION_LOCK_FD" ]; then "$@" {SESSION_LOCK_FD}>&-; else "$@"; fi
}

# Starts a program in the background in a session of its own, its output detached; the
# background shell becomes the program, so nothing else holds the lock meanwhile.
detached() {
  (
    [ -z "$SESSION_LOCK_FD" ] || exec {SESSION_LOCK_FD}>&-
    exec setsid "$@"
  ) </dev/null >/dev/null 2>&1 &
}

# True while process PID runs; an ended process that nobody has reaped yet does not.
running() {
  local stat
  read -r stat 2>/dev/null <"/proc/$1/stat" || return 1
  stat=${stat##*) }
  [ "${stat%% *}" != Z ]
}

# The prefix's running wineserver, whoever started it, into SERVER_PID and SERVER_DIR (its
# folder: .../server-DEVICE-INODE of the prefix; the folder above it differs between Wine's
# builds). False when none runs.
SERVER_PID= SERVER_DIR=
find_server() {
  local pid dev ino name cwd
  # The one recorded at the session's start, still in its folder (a builtin test).
  if read -r SERVER_PID SERVER_DIR 2>/dev/null <"$WINEPREFIX.session/server" && [ -n "$SERVER_DIR" ] &&
     [ "/proc/$SERVER_PID/cwd" -ef "$SERVER_DIR" ]; then
    return 0
  fi
  SERVER_PID= SERVER_DIR=
  read -r dev ino < <(stat -c '%d %i' "$WINEPREFIX" 2>/dev/null) || return 1
  name=$(printf 'server-%x-%x' "$dev" "$ino")
  for pid in $(pgrep -f '^/usr/lib/wine/wineserver' 2>/dev/null); do
    cwd=$(readlink "/proc/$pid/cwd" 2>/dev/null || true)
    if [ "${cwd##*/}" = "$name" ]; then
      SERVER_PID=$pid SERVER_DIR=$cwd
      return 0
    fi
  done
  return 1
}

# The prefix's processes, one "PID<TAB>PROGRAM<TAB>COMMAND LINE" a line, PROGRAM being the
# lower-case file name of the first argument.
prefix_processes() {
  local f pid name args
  for f in $(grep -lzxF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null); do
    pid=${f#/proc/}; pid=${pid%/environ}
    mapfile -d '' args 2>/dev/null <"/proc/$pid/cmdline" || continue
    [ ${#args[@]} -gt 0 ] || continue
    name=${args[0]##*[\\/]}
    printf '%s\t%s\t%s\n' "$pid" "${name,,}" "${args[*]}"
  done
}

# The prefix's programs other than Wine's own, one "PID NAME" a line: the viewer, tools, tests.
device_programs() {
  local pid name cmd
  while IFS=$'\t' read -r pid name cmd; do
    case "$name" in *.exe) ;; *) continue ;; esac
    [[ "$WINE_SYSTEM_PROGRAMS" == *" $name "* ]] && continue
    echo "$pid $name"
  done < <(prefix_processes)
}

# True when the session recorded beside the prefix still runs, on a display that still exists.
session_alive() {
  local state=$WINEPREFIX.session xvfb display
  read_state display "$state/display" || return 1
  find_server || return 1
  if read_state xvfb "$state/xvfb"; then
    running "$xvfb" || return 1
    [ -e "/tmp/.X11-unix/X${display#:}" ] || return 1
  fi
  return 0
}

# A private X server of its own session, detached from the command that starts it.
start_private_display() {
  local state=$1 n pid
  for n in $(seq 90 160); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    detached Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp
    pid=$!
    local _
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      running "$pid" || break
      sleep 0.05
    done
    if [ -e "/tmp/.X11-unix/X$n" ] && running "$pid"; then
      echo "$pid" >"$state/xvfb"
      echo ":$n" >"$state/display"
      return 0
    fi
  done
  log "no free X display number for the device's screen"
  return 1
}

# Ends whatever is left of a session: its wineserver and every program of the prefix, then
# its private X server.
session_end() {
  local state=$WINEPREFIX.session xvfb
  if find_server; then
    "$WINE_SERVER" -k >/dev/null 2>&1 || true
    timeout 10 "$WINE_SERVER" -w >/dev/null 2>&1 || true
  fi
  if read_state xvfb "$state/xvfb" && running "$xvfb"; then
    kill "$xvfb" 2>/dev/null || true
  fi
  rm -f "$state/display" "$state/xvfb" "$state/server"
}

# Watches the session from outside: once its wineserver has ended (idle, or stopped), the
# private X server ends too and the session's record goes.
start_watcher() {
  local state=$1 server=$2 xvfb=${3:-}
  detached bash -c "$(declare -f running)"'
    server=$1 xvfb=$2 state=$3
    while running "$server"; do sleep 2; done
    exec 9>"$state/lock"; flock 9
    read -r recorded _ 2>/dev/null <"$state/server"
    if [ "$recorded" = "$server" ]; then
      [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
      rm -f "$state/display" "$state/xvfb" "$state/server"
    fi' lmx-device-watcher "$server" "$xvfb" "$state"
}

session_start() {
  local state=$1 where=$2 server xvfb
  session_end
  if [ "$where" = display ]; then
    echo "$DISPLAY" >"$state/display"
  else
    start_private_display "$state" || return 1
  fi
  read_state DISPLAY "$state/display"
  export DISPLAY
  # The server outlives every command. On a private screen the keeper below judges idleness
  # and the server follows it within seconds; on the user's display the server itself waits
  # IDLE_SECONDS after the viewer. It puts itself in the background.
  local linger=$IDLE_SECONDS
  [ "$where" = display ] || linger=5
  detached "$WINE_SERVER" -p"$linger"
  wait $! || true
  local _
  for _ in $(seq 40); do
    find_server && break
    sleep 0.05
  done
  [ -n "$SERVER_PID" ] || { log "the device's wineserver did not start"; session_end; return 1; }
  server=$SERVER_PID
  echo "$SERVER_PID $SERVER_DIR" >"$state/server"
  read_state xvfb "$state/xvfb" || true
  start_watcher "$state" "$server" "$xvfb"
  # The prefix's services, started now and detached from our output, so that no later program
  # hands its descriptors to them.
  detached "$WINE_LOADER" wineboot
  wait $! || true
  # On a private screen a keeper holds the virtual desktop open between the many short
  # programs of the commands and tests, until the device has been idle; on the user's display
  # the desktop closes with the viewer.
  if [ "$where" != display ] && [ -f "$WIN_BUILD/bin/lmx_desktop_keeper.exe" ]; then
    detached "$WINE_LOADER" "$WIN_BUILD/bin/lmx_desktop_keeper.exe" --idle "$IDLE_SECONDS"
    # A program that came before the keeper's desktop exists would start the desktop process
    # itself, and that process would hold the program's output open after it ended.
    local _
    for _ in $(seq 200); do
      desktop_ready && break
      sleep 0.05
    done
  fi
  return 0
}

# True once the prefix's virtual desktop and its keeper run.
desktop_ready() {
  local list
  list=$(prefix_processes)
  [[ "$list" == *"explorer.exe /desktop"* ]] && [[ "$list" == *$'\t'lmx_desktop_keeper.exe$'\t'* ]]
}

# Makes the device's session available to this command: reuses the running one, or starts it.
# WHERE: "headless" (any display; a private one when the session starts) or "display" (the
# user's $DISPLAY; a headless session with no program running moves there).
device_up() {
  local where=${1:-headless} state=$WINEPREFIX.session fd
  if [ "$where" = display ]; then
    local number=${DISPLAY#*:}
    number=${number%%.*}
    case "$DISPLAY" in
      :*|unix:*) [ -S "/tmp/.X11-unix/X$number" ] || { log "cannot reach the display $DISPLAY"; exit 1; } ;;
    esac
  fi
  [ -d "$state" ] || mkdir -p "$state"
  exec {fd}>"$state/lock"
  SESSION_LOCK_FD=$fd
  # Only starting and ending are under the lock; a killed command's lock goes with it.
  if ! flock -w 600 "$fd"; then
    log "the device has been starting for ten minutes in another command; giving up"
    exit 1
  fi
  ensure_prefix
  if session_alive; then
    local current
    read_state current "$state/display"
    if [ "$where" = display ] && [ "$current" != "$DISPLAY" ]; then
      if [ -n "$(device_programs)" ]; then
        flock -u "$fd"
        log "the device is busy on display $current; try again when its commands have ended (or ./lumivex stop)"
        exit 4
      fi
      session_start "$state" display || { flock -u "$fd"; exit 1; }
    elif [ "$where" = headless ] && [ ! -f "$state/xvfb" ] && [ -z "$(device_programs)" ]; then
      # Nothing runs on the user's display: commands without a screen take a private one
      # rather than flash the device's desktop there.
      session_start "$state" headless || { flock -u "$fd"; exit 1; }
    else
      export DISPLAY=$current
    fi
  else
    session_start "$state" "$where" || { flock -u "$fd"; exit 1; }
  fi
  # Closing our only descriptor of the lock releases it.
  exec {fd}>&-
  SESSION_LOCK_FD=
}

# Ends the device's session on purpose: its programs are asked to end, then ended; with --now
# (a test device at the end of its run) they are ended at once.
device_stop() {
  local ask=1
  [ "${1:-}" = --now ] && ask=0
  local state=$WINEPREFIX.session fd display
  [ -d "$state" ] || return 0
  exec {fd}>"$state/lock"
  SESSION_LOCK_FD=$fd
  flock -w 60 "$fd" || true
  if [ $ask = 1 ] && find_server; then
    read_state display "$state/display" || display=${DISPLAY:-}
    DISPLAY=$display timeout 15 "$WINE_LOADER" wineboot --end-session --shutdown \
      </dev/null >/dev/null 2>&1 {fd}>&- || true
  fi
  session_end
  exec {fd}>&-
  SESSION_LOCK_FD=
}
