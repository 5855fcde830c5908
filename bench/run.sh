#!/usr/bin/env bash
# The benchmark suite: codec throughput (Google Benchmark), then the
# end-to-end rig over pseudo-terminals against picocom and Tamsel (headless,
# and with its window shown under Xvfb) in the same run, and a table of every
# figure beside the peer's and the goal.
#
#   bench/run.sh [--quick]
#   TAMSEL=/path/to/tamsel bench/run.sh   (measure that build of Tamsel instead)
#
# --quick shortens every trial (for a check that the suite works, not for
# figures). Installs what it needs with apt when missing, builds a Release
# tree in build-bench/ (or $TAMSEL_BENCH_BUILD) and writes there:
#   bench-log.txt      every command (CMD lines) and everything it printed
#   bench-results.txt  the RESULT lines the table is made from
#   bench-table.md     the table
# It takes about six minutes with Tamsel's figures, two without.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAMSEL_BENCH_BUILD:-$root/build-bench}

trial_seconds=2 steps=3 samples=150 reps=5 cpu_seconds=10 window_runs=5 min_time=0.5
if [ "${1:-}" = "--quick" ]; then
  trial_seconds=1 steps=1 samples=40 reps=2 cpu_seconds=3 window_runs=2 min_time=0.1
elif [ $# -gt 0 ]; then
  echo "usage: bench/run.sh [--quick]" >&2
  exit 2
fi

"$root/scripts/install-deps.sh" picocom xvfb x11-utils libxdamage-dev ser2net python3-serial

say() { printf '\n== %s\n' "$*" >&2; }

say "Building (Release) in $build"
# Warnings stay warnings here: g++ finds more at -O3 than the checked builds see.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_BENCH=ON \
  -DTAMSEL_WERROR=OFF >/dev/null
targets=(bench_orvane_receive bench_orvane_encoder bench_xrate bench_serial pty_rig window_probe
         bare_qt_window)
if [ -z "${TAMSEL:-}" ]; then targets+=(tamsel); fi
cmake --build "$build" -j2 --target "${targets[@]}" >"$build/bench-build.txt" 2>&1 ||
  { tail -30 "$build/bench-build.txt" >&2; exit 1; }

bin=$build/bench
log=$build/bench-log.txt
results=$build/bench-results.txt
table=$build/bench-table.md
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

: >"$log"
{
  echo "NOTE started $(date -u +%FT%TZ) on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "NOTE commit $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)," \
    "Tamsel ${TAMSEL:-built from it}"
} | tee -a "$log" >"$results"

# Runs a program, keeps its output in the log, shows its progress and keeps
# its RESULT lines.
record() {
  { printf 'CMD'; printf ' %q' "$@"; echo; } >>"$log"
  { "$@" || echo "NOTE $(basename "$1") ended with status $?"; } 2>>"$log" | tee -a "$log" |
  while IFS= read -r line; do
    case $line in
      RESULT* | NOTE*) echo "$line" >>"$results"; echo "  $line" >&2 ;;
      TRIAL*) echo "  $line" >&2 ;;
    esac
  done
}

# Google Benchmark JSON to RESULT lines, labelled codec.
benchmark() {
  echo "CMD $bin/$1 --benchmark_format=json --benchmark_min_time=$min_time" \
    "--benchmark_repetitions=$reps --benchmark_report_aggregates_only=true" >>"$log"
  "$bin/$1" --benchmark_format=json --benchmark_min_time="$min_time" \
    --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true 2>>"$log" |
    tee -a "$log" | awk -v label=codec -f "$root/bench/benchmark_results.awk" |
    tee -a "$results" | cut -c1-160 >&2
}

say "Codec throughput (Google Benchmark, $reps repetitions; figures per CPU second)"
benchmark bench_orvane_receive
benchmark bench_orvane_encoder
benchmark bench_xrate
say "Receive pump over a pseudo-terminal (no window, no converter)"
echo "CMD $bin/bench_serial --benchmark_format=json" >>"$log"
"$bin/bench_serial" --benchmark_format=json 2>>"$log" | tee -a "$log" |
  awk -v label=serial -f "$root/bench/benchmark_results.awk" | tee -a "$results" | cut -c1-160 >&2

# ---- the end-to-end rig ----
mib=1048576
baud115200=11520  # bytes per second on a 115200 bps line (8N1: 10 bits a byte)
rig() { record "$bin/pty_rig" --seconds "$trial_seconds" --steps "$steps" "$@"; }

# The headless figures of one receiver: LABEL, the name of its command for
# Raw traffic, for Orvane 1.1 traffic, what its Orvane output must be (same:
# the bytes, ov11: the decoded text), then further rig options.
headless_figures() {
  local label=$1 expect=$4
  local -n raw_cmd=$2 ov11_cmd=$3
  shift 4
  local raw=(--label "$label" --traffic raw "$@")
  local ov11=(--label "$label" --traffic ov11 --expect "$expect" "$@")
  say "$label: drop-free ceiling, Raw"
  rig --test ceiling "${raw[@]}" -- "${raw_cmd[@]}"
  say "$label: drop-free ceiling, Orvane 1.1"
  rig --test ceiling "${ov11[@]}" -- "${ov11_cmd[@]}"
  say "$label: 3 runs at 4 MiB/s, Raw"
  rig --test rate --rate $((4 * mib)) --trials 3 "${raw[@]}" -- "${raw_cmd[@]}"
  say "$label: latency, Raw"
  rig --test latency --samples "$samples" "${raw[@]}" -- "${raw_cmd[@]}"
  say "$label: CPU per MiB at 1 MiB/s, Raw and Orvane 1.1"
  rig --test cpu --rate $mib --seconds 3 "${raw[@]}" -- "${raw_cmd[@]}"
  rig --test cpu --rate $mib --seconds 3 "${ov11[@]}" -- "${ov11_cmd[@]}"
  say "$label: CPU at 115200 baud of Orvane 1.1 traffic"
  rig --test cpu --rate $baud115200 --seconds "$cpu_seconds" "${ov11[@]}" -- "${ov11_cmd[@]}"
}

# picocom passes the bytes through: its output must be the bytes themselves.
picocom_cmd=(picocom -q -n -b 115200 '{pty}')
headless_figures picocom picocom_cmd picocom_cmd same

note() { echo "NOTE $*" | tee -a "$log" >>"$results"; }

tamsel=${TAMSEL:-$build/app/tamsel}
tamsel_help=""
if [ -x "$tamsel" ]; then
  tamsel_help=$(QT_QPA_PLATFORM=offscreen "$tamsel" --help 2>&1 || true)
fi
mkdir -p "$work/config"
: >"$work/profile.conf"
# Tamsel on line COM5 = the trial's pseudo-terminal at 115200 bps, receiving
# with conversion $1 (raw or ov11); the profile and settings stay in $work.
tamsel_on_line() {
  local -n into=$1
  if grep -q -- --map <<<"$tamsel_help"; then
    into=(env XDG_CONFIG_HOME="$work/config" "$tamsel" --profile "$work/profile.conf"
          --map 'COM5={pty}' --port COM5 --baud 115200 --rx "$2")
  else
    # Before the command-line options: the port map as an argument and the
    # rest from a profile of the run's own.
    local dir="$work/config-$2" index=0
    if [ "$2" = ov11 ]; then index=4; fi
    mkdir -p "$dir/Pellmark"
    printf '[tamsel_OV]\ncomport=COM5\ncomspeed=115200\nreceiveXrate=%d\n' "$index" \
      >"$dir/Pellmark/TamSel Serial port Monitor 1.1 (OV1.1).conf"
    into=(env XDG_CONFIG_HOME="$dir" "$tamsel" 'COM5={pty}')
  fi
}

if grep -q -- --headless <<<"$tamsel_help"; then
  # Headless, the report must be exactly the bytes (Raw) or the decoded text.
  tamsel_on_line headless_raw raw
  tamsel_on_line headless_ov11 ov11
  headless_raw+=(--headless --linger 300)
  headless_ov11+=(--headless --linger 300)
  headless_figures tamsel-headless headless_raw headless_ov11 ov11 \
    --fail-stderr "Receive buffer overflowed"
else
  note "tamsel --headless is not built on this branch: the headless figures of Tamsel are missing"
fi

if grep -q -- "--port URL" <<<"$tamsel_help"; then
  # The same device, served by ser2net over loopback: Tamsel's network lines,
  # and pyserial's RFC 2217 client as the peer. pyserial's open empties what
  # came in meanwhile, so its output is given longer to settle first.
  tamsel_remote=(env XDG_CONFIG_HOME="$work/config" "$tamsel" --profile "$work/profile.conf"
                 --port '{url}' --baud 115200 --rx raw --headless --linger 300)
  pyserial_peer=(/usr/bin/python3 "$root/bench/remote/pyserial_peer.py" '{url}')
  for mode in rfc2217 tcp; do
    served=("$root/bench/remote/served.sh" "$mode" '{pty}' --)
    say "tamsel-$mode (through ser2net): drop-free ceiling and latency, Raw"
    rig --label "tamsel-$mode" --test ceiling --traffic raw --fail-stderr "Receive buffer overflowed" \
      -- "${served[@]}" "${tamsel_remote[@]}"
    rig --label "tamsel-$mode" --test latency --samples "$samples" --traffic raw -- "${served[@]}" "${tamsel_remote[@]}"
  done
  served=("$root/bench/remote/served.sh" rfc2217 '{pty}' --)
  say "pyserial-rfc2217 (through ser2net): drop-free ceiling and latency, Raw"
  rig --label pyserial-rfc2217 --test ceiling --quiet 1500 --traffic raw -- "${served[@]}" "${pyserial_peer[@]}"
  rig --label pyserial-rfc2217 --test latency --quiet 1500 --samples "$samples" --traffic raw \
    -- "${served[@]}" "${pyserial_peer[@]}"
else
  note "tamsel --port URL is not built on this branch: the remote-line figures are missing"
fi

if [ -x "$tamsel" ]; then
  # The window under Xvfb: its report is on screen only, so a loss shows as
  # the line refusing bytes or as the "Receive buffer overflowed" box.
  source "$root/scripts/lib/xvfb.sh"
  xvfb_start 1280x1024
  xvfb_pid=$XVFB_PID
  export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  tamsel_on_line window_raw raw
  tamsel_on_line window_ov11 ov11
  box=(--expect none --grace 0
       --fail-if "xwininfo -root -tree | grep -qF '\"Tamsel::OnReceive\"'")
  say "tamsel-window: drop-free ceiling, Raw"
  rig --label tamsel-window --test ceiling --start $((mib / 16)) --traffic raw "${box[@]}" -- "${window_raw[@]}"
  say "tamsel-window: 3 runs at 0.5 MiB/s, Raw"
  rig --label tamsel-window --test rate --rate $((mib / 2)) --trials 3 --traffic raw "${box[@]}" -- "${window_raw[@]}"
  say "tamsel-window: CPU at 115200 baud of Orvane 1.1 traffic (and the X server's)"
  rig --label tamsel-window --test cpu --rate $baud115200 --seconds "$cpu_seconds" --traffic ov11 \
    --watch "$xvfb_pid" "${box[@]}" -- "${window_ov11[@]}"
  say "Start-up to a shown window: Tamsel and a bare Qt window, alternately"
  for _ in $(seq "$window_runs"); do
    record "$bin/window_probe" --label tamsel-window --runs 1 -- "${window_raw[@]}"
    record "$bin/window_probe" --label bare-qt --runs 1 -- "$bin/bare_qt_window"
  done
else
  note "tamsel is not built on this branch: the window figures of Tamsel are missing"
fi
note "finished $(date -u +%FT%TZ), load average $(cut -d' ' -f1-3 /proc/loadavg)"

say "Table"
awk -f "$root/bench/table.awk" "$results" | tee "$table"
