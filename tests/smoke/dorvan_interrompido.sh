#!/bin/bash
# Dorvan stopped by SIGTERM or SIGINT removes its private run folder and ends as
# the signal ends a process. Each run gets its own temporary folder, so the run
# folder found there is this process's own.
set -u
set -m # each program in its own process group, so SIGINT is not ignored in it
dorvan=$1
ini="$(dirname "$dorvan")/Dorvan.ini"
havia=0
[ -e "$ini" ] && havia=1
base=$(mktemp -d)
trap 'rm -rf "$base"; [ $havia = 1 ] || rm -f "$ini"' EXIT
falhas=0
for sinal in TERM INT; do
    tmp="$base/$sinal"
    mkdir "$tmp"
    # The closing timer only ends a run the signal failed to end.
    TMPDIR="$tmp" QT_QPA_PLATFORM=offscreen DORVAN_FECHAR_APOS_MS=20000 "$dorvan" &
    pid=$!
    pasta=
    for _ in $(seq 300); do
        pasta=$(compgen -G "$tmp/dorvan-*" | head -n 1)
        [ -n "$pasta" ] && break
        sleep 0.1
    done
    if [ -z "$pasta" ]; then
        echo "SIG$sinal: the run folder never appeared in $tmp"
        kill -KILL "$pid"
        wait "$pid"
        falhas=1
        continue
    fi
    kill -"$sinal" "$pid"
    wait "$pid"
    rc=$?
    esperado=$((128 + $(kill -l "$sinal")))
    if [ "$rc" -ne "$esperado" ]; then
        echo "SIG$sinal: dorvan ended with $rc, not $esperado (ended by the signal)"
        falhas=1
    fi
    if [ -e "$pasta" ]; then
        echo "SIG$sinal: the run folder $pasta is still there"
        falhas=1
    fi
done
exit $falhas
