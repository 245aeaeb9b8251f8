#!/usr/bin/env bash
# Runs the host headless: its own Xvfb on a free display, Mesa software GL.
# Usage: run-headless.sh RUN_FOLDER SCENARIO SECONDS [SCREENSHOT_DIR]
#        run-headless.sh --configure RUN_FOLDER   (only write the headless config)
#   SCENARIO: a name under RUN_FOLDER/Scenarios without ".scn", or a path to
#   a .scn file (copied to Scenarios/Headless/ first).
#   Exit status: the host's; 124 if it had to be killed (SECONDS+60 passed).
# Environment:
#   REALHOST_MODULES   plug-ins to activate besides OGLClient (names, blanks between)
#   REALHOST_SHOT_AT   seconds after the host started at which to take
#                      screenshots (blanks between); default: SECONDS-3
#   REALHOST_WINDOW    window size WxH, default 1024x768
#   REALHOST_LOG       the host's log file, default RUN_FOLDER/Orbiter.log
#   REALHOST_ARGS      more options for the host (blanks between), e.g. --maxframes=N
#   REALHOST_HOOK      a command started in the background once the host is
#                      started, with DISPLAY, REALHOST_PID (the host's) and
#                      REALHOST_SHOTS (SCREENSHOT_DIR) set: for keys (xdotool)
#                      and screenshots of one's own. It is waited for (killed
#                      10 s after the host ended); if it fails while the host
#                      exits 0, the exit status is 3.
# With SCREENSHOT_DIR: screenshots shot-<t>s.png (the whole Xvfb screen, which
# is the host's window), the host's log Orbiter.log, its output host.out and
# the hook's output hook.out.
set -euo pipefail

die() { echo "run-headless: error: $*" >&2; exit 2; }
note() { echo "run-headless: $*" >&2; }

window="${REALHOST_WINDOW:-1024x768}"
[[ "$window" =~ ^([0-9]+)x([0-9]+)$ ]] || die "REALHOST_WINDOW must be WxH, not '$window'"
win_w="${BASH_REMATCH[1]}"; win_h="${BASH_REMATCH[2]}"

# Headless settings in the run folder's config, idempotently: set the keys,
# keep ACTIVE_MODULES entries whose plug-in exists, add REALHOST_MODULES.
configure() {
  local run="$1" cfg="$1/Orbiter_NG.cfg"
  [ -f "$cfg" ] || die "no config $cfg (is $run a run folder of build-host.sh?)"
  local keep=() m
  while read -r m; do
    [ -n "$m" ] && [ "$m" != OGLClient ] && [ -f "$run/Modules/Plugin/lib$m.so" ] && keep+=("$m")
  done < <(awk '/^[[:space:]]*ACTIVE_MODULES[[:space:]]*$/{on=1;next}
                /^[[:space:]]*END_MODULES/{on=0} on{gsub(/[[:space:]]/,"");print}' "$cfg")
  for m in ${REALHOST_MODULES:-}; do
    [ -f "$run/Modules/Plugin/lib$m.so" ] || die "plug-in $run/Modules/Plugin/lib$m.so not found"
    keep+=("$m")
  done
  local mods; mods="$(printf '%s\n' OGLClient "${keep[@]}" | awk 'NF && !seen[$0]++ {print "  " $0}')"
  awk -v mods="$mods" -v w="$win_w" -v h="$win_h" '
    BEGIN { want["StartPaused"]="FALSE"; want["EnableClouds"]="FALSE"
            want["WindowWidth"]=w; want["WindowHeight"]=h; want["DeviceMode"]="0" }
    /^[[:space:]]*ACTIVE_MODULES[[:space:]]*$/ { skip=1; next }
    skip && /^[[:space:]]*END_MODULES/ { skip=0; next }
    skip { next }
    /^[[:space:]]*VIDEO_MODULE[[:space:]]*$/ { vskip=1; next }
    vskip && /^[[:space:]]*END_VIDEO_MODULE/ { vskip=0; next }
    vskip { next }
    /^; === Active plugin list ===/ { next }
    { k=$0; sub(/[[:space:]]*=.*/, "", k); sub(/^[[:space:]]*/, "", k)
      if ((k in want) && $0 ~ /=/) { if (!(k in done)) print k " = " want[k]; done[k]=1; next }
      print }
    END { for (k in want) if (!(k in done)) print k " = " want[k]
          print "ACTIVE_MODULES"; print mods; print "END_MODULES"
          print "VIDEO_MODULE"; print "OGLClient"; print "END_VIDEO_MODULE" }
  ' "$cfg" > "$cfg.new"
  mv "$cfg.new" "$cfg"
}

if [ "${1:-}" = "--configure" ]; then
  [ $# -eq 2 ] || die "usage: $0 --configure RUN_FOLDER"
  configure "$2"
  exit 0
fi

[ $# -ge 3 ] && [ $# -le 4 ] || die "usage: $0 RUN_FOLDER SCENARIO SECONDS [SCREENSHOT_DIR]"
run="$(cd "$1" && pwd)" || die "no run folder $1"
scenario="$2"
seconds="$3"
shots="${4:-}"
[[ "$seconds" =~ ^[0-9]+$ ]] && [ "$seconds" -gt 0 ] || die "SECONDS must be a positive whole number"
[ -x "$run/Orbiter" ] || die "no host executable $run/Orbiter"
for t in Xvfb import; do command -v "$t" >/dev/null || die "$t missing (run build-host.sh, which installs it)"; done

if [ -f "$scenario" ]; then
  mkdir -p "$run/Scenarios/Headless"
  name="$(basename "$scenario" .scn)"
  cp "$scenario" "$run/Scenarios/Headless/$name.scn"
  scenario="Headless/$name"
fi
[ -f "$run/Scenarios/$scenario.scn" ] || die "no scenario $run/Scenarios/$scenario.scn"
configure "$run"
[ -z "$shots" ] || { mkdir -p "$shots"; shots="$(cd "$shots" && pwd)"; }

tmp="$(mktemp -d)"
xvfb_pid=""; host_pid=""
cleanup() {
  [ -z "$host_pid" ] || kill -- -"$host_pid" 2>/dev/null || kill "$host_pid" 2>/dev/null || true
  [ -z "${hook_pid:-}" ] || kill "$hook_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 "${win_w}x${win_h}x24" -nolisten tcp -noreset \
  3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$tmp/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$tmp/xvfb.log" >&2; die "Xvfb did not start"; }
  sleep 0.1
done
[ -s "$tmp/display" ] || die "Xvfb gave no display number within 10 s"
display=":$(head -1 "$tmp/display")"
note "Xvfb on $display, host in $run, scenario $scenario, $seconds s"

log="${REALHOST_LOG:-$run/Orbiter.log}"
rm -f "$log"
(
  cd "$run"
  export DISPLAY="$display" LIBGL_ALWAYS_SOFTWARE=1 ORBITER_LOG="$log"
  # own process group, so that killing it takes any children along
  # shellcheck disable=SC2086
  exec setsid --wait ./Orbiter --scenario="$scenario" --maxsystime="$seconds" ${REALHOST_ARGS:-}
) >"$tmp/host.out" 2>&1 &
host_pid=$!
started=$(date +%s)

hook_pid=""
if [ -n "${REALHOST_HOOK:-}" ]; then
  ( export DISPLAY="$display" REALHOST_PID="$host_pid" REALHOST_SHOTS="$shots"
    exec bash -c "$REALHOST_HOOK" ) >"$tmp/hook.out" 2>&1 &
  hook_pid=$!
fi

shot_pids=()
if [ -n "$shots" ]; then
  default_at=$(( seconds > 4 ? seconds - 3 : 1 ))
  for t in ${REALHOST_SHOT_AT:-$default_at}; do
    ( sleep "$t"
      kill -0 "$host_pid" 2>/dev/null || exit 0
      DISPLAY="$display" import -window root "$shots/shot-${t}s.png" 2>>"$tmp/shots.log" \
        || echo "screenshot at ${t}s failed" >>"$tmp/shots.log" ) 2>/dev/null &
    shot_pids+=($!)
  done
fi

# Wait for the host, killing it when it overruns.
limit=$(( seconds + 60 ))
status=""
while kill -0 "$host_pid" 2>/dev/null; do
  if (( $(date +%s) - started > limit )); then
    note "host still running after $limit s: killing it"
    kill -TERM -- -"$host_pid" 2>/dev/null || kill -TERM "$host_pid" 2>/dev/null || true
    sleep 3
    kill -KILL -- -"$host_pid" 2>/dev/null || kill -KILL "$host_pid" 2>/dev/null || true
    status=124
    break
  fi
  sleep 0.5
done
if [ -z "$status" ]; then
  set +e; wait "$host_pid"; status=$?; set -e
else
  wait "$host_pid" 2>/dev/null || true
fi
host_pid=""
hook_status=0
if [ -n "$hook_pid" ]; then
  for _ in $(seq 20); do kill -0 "$hook_pid" 2>/dev/null || break; sleep 0.5; done
  if kill -0 "$hook_pid" 2>/dev/null; then
    note "hook still running 10 s after the host: killing it"
    pkill -P "$hook_pid" 2>/dev/null || true; kill "$hook_pid" 2>/dev/null || true
  fi
  set +e; wait "$hook_pid"; hook_status=$?; set -e
  [ "$hook_status" -eq 0 ] || { note "hook failed with status $hook_status:"; tail -20 "$tmp/hook.out" >&2; }
fi
for p in "${shot_pids[@]}"; do
  pkill -P "$p" 2>/dev/null || true   # its sleep or import: it then ends by itself
  wait "$p" 2>/dev/null || true
done

if [ -n "$shots" ]; then
  cp "$tmp/host.out" "$shots/host.out"
  [ -z "$hook_pid" ] || cp "$tmp/hook.out" "$shots/hook.out"
  [ -f "$log" ] && cp "$log" "$shots/Orbiter.log"
  [ -f "$tmp/shots.log" ] && cat "$tmp/shots.log" >&2
fi
note "host exited with status $status after $(( $(date +%s) - started )) s"
[ "$status" -ne 0 ] || [ "$hook_status" -eq 0 ] || exit 3
exit "$status"
