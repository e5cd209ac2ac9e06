#!/bin/bash
# wlanreport against iw over the same interfaces: one interface dump, then one
# scan dump for each listed interface. Alternates the two, BENCH_RUNS times,
# and prints "report|iw START_US END_US" lines. Then records the netlink
# requests each side sends, with strace, into SCRATCH.
#
#   bench.sh SCRATCH INTERFACE...
scratch=$1
shift
runs=${BENCH_RUNS:-7}

iw_side() {
    iw dev > /dev/null
    local dev
    for dev in "$@"; do iw dev "$dev" scan dump > /dev/null 2>&1; done
}

# One untimed round first: both sides start with warm page caches.
wlanreport > /dev/null 2>&1
iw_side "$@"

for ((i = 0; i < runs; i++)); do
    t0=$EPOCHREALTIME
    wlanreport > /dev/null 2>&1
    t1=$EPOCHREALTIME
    echo "report ${t0/./} ${t1/./}"
    t0=$EPOCHREALTIME
    iw_side "$@"
    t1=$EPOCHREALTIME
    echo "iw ${t0/./} ${t1/./}"
done

trace() {  # NAME COMMAND...
    local name=$1
    shift
    strace -f -e trace=socket,sendto,sendmsg -e signal=none -xx -s 64 -o "$scratch/strace-$name.txt" \
        "$@" > /dev/null 2>&1
}
trace report wlanreport
trace iw-dev iw dev
for dev in "$@"; do trace "iw-$dev" iw dev "$dev" scan dump; done
