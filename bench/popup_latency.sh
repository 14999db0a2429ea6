#!/bin/bash
# Listed popups of another program, from their creation to their close
# request, under Wine: SkarnVale beside a minimal reference killer (a window
# event hook that posts WM_CLOSE on the listed title), in the same run, one
# window at a time and five created in the same instant.
#   popup_latency.sh BUILD_DIR [ROUNDS]   (BUILD_DIR holds the x86_64 build; 30 rounds unless given)
# Prints, for each killer and shape, the median and worst delay from a
# window's CreateWindowEx call to its reading of the close request, and from
# that call's return (under a loaded Wine, CreateWindowEx alone takes 20 to
# 300 ms, and the five of a burst are made by Wine one after the other); a
# burst's figure is its slowest window's. Exit status 1 when SkarnVale misses
# its targets: each burst's windows asked within 100 ms of being made, a
# single window's median within 1.3 times the reference's.
# "late": five made hidden at once and shown 300 ms later without the event
# Windows would raise (Wine raises none), timed from ShowWindow; the
# reference, which has only the events, never sees them and is not run.
# Each shape is also timed against the real SkarnVale.exe running beside the
# window maker ("exe"), as the two measures must agree.
# SHAPES="single burst series late" by default; KEEP_LOGS=DIR keeps the logs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build directory}" && pwd)
rounds=${2:-30}
dir=$(mktemp -d /tmp/skarnvale-popup-latency.XXXXXX)
trap 'if [ -n "${KEEP_LOGS:-}" ]; then cp "$dir"/*.log "$KEEP_LOGS"/; fi; rm -rf "$dir"' EXIT
cp "$build/bench_popup_latency_wine.exe" "$dir/"

# Median and worst of the numbers on stdin; -1 (never asked) is worst.
stats() {
    awk '{ print ($1 < 0 ? 999999 : $1) }' | sort -n | awk '
        { ms[NR] = $1 }
        END { m = (NR % 2) ? ms[(NR + 1) / 2] : (ms[NR / 2] + ms[NR / 2 + 1]) / 2
              printf "%s %s\n", m, ms[NR] == 999999 ? "never" : ms[NR] }'
}

# The worst of each group of PER numbers on stdin: a burst's slowest window.
slowest() { awk -v per=$1 '{ v = ($1 < 0 ? 999999 : $1); if ((NR - 1) % per == 0 || v > top) top = v
                             if (NR % per == 0) print top }'; }

# "exe": the real SkarnVale.exe of BUILD_DIR, a process of its own started with
# the title on its kill list, while this program only makes the windows: the
# killer measured from outside, as a user meets it.
wine_env() { "$root/tests/win/wine-session.sh" start "${SKARNVALE_WINE_SESSION:=/tmp/skarnvale-wine-session}" >/dev/null
             export SKARNVALE_WINE_SESSION; . "$SKARNVALE_WINE_SESSION/env"; }
run_exe_killer() {
    local shape=$1 log=$2 app="$dir/exe" wine64 up=false
    wine_env
    wine64=$("$root/tests/win/wine-loader.sh")
    mkdir -p "$app"
    cp "$build/SkarnVale.exe" "$build/wintool.exe" "$app/"
    printf 'Bench Popup\r\n' >"$app/SkarnVale.txt"
    "$wine64" reg add 'HKCU\Software\SkarnVale\Popup' /v KillerActive /t REG_SZ /d 1 /f >/dev/null 2>&1
    "$wine64" reg add 'HKCU\Software\SkarnVale\Popup' /v Interval /t REG_SZ /d 500 /f >/dev/null 2>&1
    (cd "$app" && exec "$wine64" "$app/SkarnVale.exe" </dev/null >/dev/null 2>&1) &
    local pid=$!
    for _ in $(seq 300); do
        if (cd "$app" && "$wine64" "$app/wintool.exe" find TApplication Skarnvale >/dev/null 2>&1); then up=true; break; fi
        sleep 0.1
    done
    $up || { echo "SkarnVale.exe did not start" >&2; kill "$pid"; return 1; }
    (cd "$dir" && "$root/tests/win/wine-run.sh" "$dir/bench_popup_latency_wine.exe" make $shape "$rounds" "$log" >/dev/null)
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

declare -A median worst after
for shape in ${SHAPES:-single burst series late}; do
    per=$([ $shape = single ] && echo 1 || echo 5)
    killers="reference skarnvale exe"
    [ $shape = late ] && killers="skarnvale exe"
    for killer in $killers; do
        log="$dir/$killer-$shape.log"
        if [ $killer = exe ]; then
            run_exe_killer $shape "$log"
        else
            (cd "$dir" && "$root/tests/win/wine-run.sh" "$dir/bench_popup_latency_wine.exe" $killer $shape "$rounds" \
                "$log" >/dev/null)
        fi
        read -r m w < <(awk '{ print $1 }' "$log" | slowest $per | stats)
        read -r am aw < <(awk '{ print ($1 < 0 ? -1 : $1 - $3) }' "$log" | slowest $per | stats)
        read -r posted _ < <(awk '{ print $4 }' "$log" | stats)
        median[$killer-$shape]=$m
        worst[$killer-$shape]=$w
        after[$killer-$shape]=$aw
        echo "$shape ($per window$([ $per = 1 ] || echo s) a round, $rounds rounds), $killer:" \
             "from CreateWindowEx's call median $m ms, worst $w ms; from its return median $am ms, worst $aw ms;" \
             "request posted at median $posted ms"
    done
done
status=0
if [ -n "${median[skarnvale-single]:-}" ]; then
    awk -v s="${median[skarnvale-single]}" -v r="${median[reference-single]}" 'BEGIN {
        printf "single window: SkarnVale median / reference median = %.2f (target at most 1.3)\n", s / r
        exit !(s <= 1.3 * r) }' || status=1
fi
if [ -n "${after[skarnvale-burst]:-}" ]; then
    [ "${after[skarnvale-burst]}" != never ] && [ "${after[skarnvale-burst]}" -lt 100 ] || {
        echo "burst: a window was asked ${after[skarnvale-burst]} ms after it was made (target under 100 ms)" >&2
        status=1; }
fi
exit $status
