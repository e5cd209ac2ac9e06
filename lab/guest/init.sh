#!/bin/bash
# The lab guest's /init: simulated radios, access points of every kind, one
# connected station, one scanning station, one down, one ad-hoc; then the
# report and iw read the same scan caches. Results leave on the second serial
# port, base64-encoded between marker lines.
export PATH=/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export LC_ALL=C

OUT=/tmp/out
# Radios: 0 2.4 GHz APs, 1 5 GHz APs, 2 second lab-twin AP, 3 11b AP,
# 4 connected station, 5 scanning station, 6 down station, 7 ad-hoc.
RADIOS=8
CONNECTED=wlan4
SCANNER=wlan5
DOWN=wlan6
ADHOC=wlan7
CLIENTS="$CONNECTED $SCANNER $DOWN $ADHOC"
# BSS entries the scanner must hear: 15 on radio 0, the hidden one a second time
# by name, 2 on radio 1, 1 each on radios 2 and 3, and the ad-hoc network.
SCANNER_ENTRIES=21
BENCH_RUNS=${BENCH_RUNS:-7}
NOBODY=65534

mount_all() {
    busybox mkdir -p /proc /sys /dev /tmp /run /bin
    busybox mount -t proc proc /proc
    busybox mount -t sysfs sysfs /sys
    busybox mount -t devtmpfs devtmpfs /dev
    busybox --install -s /bin
    mount -t tmpfs tmpfs /tmp
    mount -t tmpfs tmpfs /run
    mount -t debugfs debugfs /sys/kernel/debug
    dmesg -n 1
    mkdir -p "$OUT" /run/hostapd /run/wpa_supplicant
    chmod 1777 /tmp
}

log() { echo "lab: $*"; }

fail() {
    echo "lab: FAIL: $*"
    echo "$*" >> "$OUT/guest-failure.txt"
    finish 1
}

cmdline_has() { grep -q -w -- "$1" /proc/cmdline; }

# Sends every file in $OUT on ttyS1, then the verdict on the console.
finish() {
    local status=$1 f
    dmesg > "$OUT/dmesg.txt" 2>&1
    stty -F /dev/ttyS1 raw -echo 2>/dev/null
    {
        for f in "$OUT"/*; do
            [ -f "$f" ] || continue
            echo "LAB-FILE-BEGIN ${f##*/}"
            base64 "$f"
            echo "LAB-FILE-END ${f##*/}"
        done
        echo "LAB-DATA-END"
    } > /dev/ttyS1
    echo "LAB-GUEST-DONE status=$status at $(elapsed)s"
    sync
    poweroff -f
}

elapsed() { awk '{print $1}' /proc/uptime; }

wait_for() {  # SECONDS DESCRIPTION COMMAND...
    local limit=$1 what=$2 i
    shift 2
    for ((i = 0; i < limit * 5; i++)); do
        "$@" && return 0
        sleep 0.2
    done
    fail "timed out after ${limit}s waiting for $what"
}

load_modules() {
    local m
    while read -r m; do
        case "$m" in
        *mac80211_hwsim.ko) insmod "$m" radios=$RADIOS || fail "insmod $m" ;;
        *) insmod "$m" || fail "insmod $m" ;;
        esac
    done < /lab/modules.list
    wait_for 10 "$RADIOS hwsim radios" test -e /sys/class/net/wlan$((RADIOS - 1))
}

# hwsim gives every frame a radio sends the signal "transmit power plus this
# radio's rx_rssi" (-100..-1, written as an unsigned 64-bit number): spread
# the access points so that signal quality differs between them.
set_signal() {  # INTERFACE DBM_OFFSET
    local phy
    phy=$(cat "/sys/class/net/$1/phy80211/name")
    printf '%u\n' "$2" > "/sys/kernel/debug/ieee80211/$phy/hwsim/rx_rssi" ||
        fail "cannot set the signal of $1"
}

start_hostapd() {  # NAME: /lab/hostapd-NAME.conf
    hostapd -B -P "/run/hostapd-$1.pid" -f "$OUT/hostapd-$1.log" "/lab/hostapd-$1.conf" ||
        fail "hostapd $1 did not start (see hostapd-$1.log)"
}

ap_enabled() { hostapd_cli -p /run/hostapd -i "$1" status 2>/dev/null | grep -q '^state=ENABLED'; }

# Associated is not enough: the station is connected once its keys are in place.
connected() {
    wpa_cli -p /run/wpa_supplicant -i "$1" status 2>/dev/null | grep -q '^wpa_state=COMPLETED' &&
        iw dev "$1" link 2>/dev/null | grep -q '^Connected to'
}

scans_finished() {  # INTERFACE COUNT
    [ "$(grep -c -E "^[0-9.: ]*$1 \(phy #[0-9]+\): scan (finished|aborted)" "$OUT/events.txt")" -ge "$2" ]
}

scan() {  # INTERFACE ARGS...
    local dev=$1 before
    shift
    before=$(grep -c -E "^[0-9.: ]*$dev \(phy #[0-9]+\): scan (finished|aborted)" "$OUT/events.txt")
    local i
    for ((i = 0; i < 20; i++)); do
        iw dev "$dev" scan trigger "$@" >> "$OUT/scan-trigger.log" 2>&1 && break
        sleep 0.5   # busy while another scan of the same radio runs
    done
    wait_for 60 "scan on $dev" scans_finished "$dev" $((before + 1))
}

as_nobody() { setpriv --reuid=$NOBODY --regid=$NOBODY --clear-groups "$@"; }

# The interfaces the report lists: stations and ad-hoc, in ifindex order.
client_interfaces() {
    iw dev | awk '
        $1 == "Interface" { name = $2 }
        $1 == "ifindex" { index_of[name] = $2 }
        $1 == "type" && name != "" { if ($2 == "managed" || $2 == "IBSS") print index_of[name], name; name = "" }
    ' | sort -n | awk '{print $2}'
}

# Timings and netlink requests, measured without privileges in /lab/bench.sh.
bench() {
    mkdir -p /tmp/bench
    chown $NOBODY:$NOBODY /tmp/bench
    as_nobody env BENCH_RUNS=$BENCH_RUNS bash /lab/bench.sh /tmp/bench $LISTED > "$OUT/bench.txt" 2>&1
    cp /tmp/bench/* "$OUT/" 2>/dev/null
}

# Only the adapter facts the report depends on: ciphers, modes, SAE.
phy_facts() {  # INTERFACE
    iw phy "$(cat "/sys/class/net/$1/phy80211/name")" info | awk '
        /^\t[A-Z]/ { section = ($0 ~ /Supported Ciphers:|Supported interface modes:/) }
        section || /SAE/ { print }'
}

# What the checker reads of the listed interfaces: iw's list, each one's link
# and adapter facts.
record_interfaces() {  # INTERFACE...
    iw dev > "$OUT/iw-dev.txt" 2>&1
    local dev
    for dev in "$@"; do
        ip link show "$dev" > "$OUT/link-$dev.txt" 2>&1
        iw dev "$dev" link >> "$OUT/link-$dev.txt" 2>&1
        phy_facts "$dev" > "$OUT/phy-$dev.txt" 2>&1
    done
}

# The report as the user the command (as_nobody, ...) makes: NAME.txt, .err, .rc.
run_report() {  # NAME AS_USER
    local rc=0
    "$2" timeout 60 wlanreport > "$OUT/$1.txt" 2> "$OUT/$1.err" || rc=$?
    echo $rc > "$OUT/$1.rc"
}

# iw's view of the scan caches, without privileges.
dump_scans() {  # INTERFACE...
    local dev
    for dev in "$@"; do
        as_nobody timeout 60 iw dev "$dev" scan dump > "$OUT/scan-$dev.txt" 2>&1
        echo $? > "$OUT/scan-$dev.rc"
    done
}

main() {
    mount_all
    if cmdline_has lab.probe; then
        echo "LAB-PROBE-OK"
        poweroff -f
    fi
    log "guest up at $(elapsed)s"
    local manager
    manager=$(sed -n 's/.*lab\.profiles=\([a-z-]*\).*/\1/p' /proc/cmdline)
    # A command that never returns must not hold the host until its timeout.
    # NetworkManager's run also times nmcli over hundreds of profiles.
    local watchdog=300
    [ "$manager" = nm ] && watchdog=900
    (sleep "${GUEST_WATCHDOG:-$watchdog}"; echo "lab: FAIL: guest watchdog: still running"; poweroff -f) &
    echo "boot $(elapsed)" > "$OUT/timings.txt"
    if [ -n "$manager" ]; then
        . /lab/profiles.sh
        profiles_main "$manager"
    fi
    load_modules
    iw reg set US
    set_signal wlan0 -99    # 2.4 GHz at 30 dBm: -69 dBm
    set_signal wlan1 -81    # 5 GHz at 23 dBm: -58 dBm
    set_signal wlan2 -90    # the stronger lab-twin: -60 dBm
    set_signal $ADHOC -95   # -65 dBm; the 11b radio keeps -20 dBm, above the scale

    # Joining scans for other members first and takes several seconds: start it now.
    iw dev $ADHOC set type ibss
    ip link set $ADHOC up
    iw dev $ADHOC ibss join lab-adhoc 2437 fixed-freq 02:1a:b0:00:00:07 || fail "ad-hoc join"

    start_hostapd 2g
    start_hostapd 5g
    start_hostapd twin
    start_hostapd 11b
    wait_for 60 "access points" bash -c \
        "$(declare -f ap_enabled); ap_enabled wlan0 && ap_enabled wlan1 && ap_enabled wlan2 && ap_enabled wlan3"
    echo "aps $(elapsed)" >> "$OUT/timings.txt"
    log "access points enabled at $(elapsed)s"

    iw event -t > "$OUT/events.txt" 2>&1 &

    wpa_supplicant -B -i $CONNECTED -c /lab/wpa_supplicant.conf -f "$OUT/wpa_supplicant.log" ||
        fail "wpa_supplicant did not start"
    wait_for 60 "$CONNECTED to connect" connected $CONNECTED
    echo "connected $(elapsed)" >> "$OUT/timings.txt"
    log "station connected at $(elapsed)s"

    ip link set $DOWN up
    ip link set $DOWN down
    ip link set $SCANNER up
    # Interfaces the report must leave out: a monitor and a mesh point (on the
    # down station's radio), besides the access points and wpa_supplicant's P2P device.
    local spare
    spare=$(cat /sys/class/net/$DOWN/phy80211/name)
    iw phy "$spare" interface add labmon0 type monitor || fail "monitor interface"
    iw phy "$spare" interface add labmesh0 type mp || fail "mesh interface"
    ip link set labmesh0 up
    iw dev labmesh0 mesh join lab-mesh freq 2462 2>> "$OUT/mesh.log" || fail "mesh join: $(cat "$OUT/mesh.log")"
    wait_for 60 "$ADHOC to join lab-adhoc" bash -c "iw dev $ADHOC link | grep -q '^Joined IBSS'"

    # A passive pass hears the hidden network's beacon; the active pass asks for it by name.
    # A busy host can make a pass miss a beacon: scan again until every access point is in.
    local round
    for round in 1 2 3; do
        scan $SCANNER freq 2412 2437 2462 5180 passive
        scan $SCANNER freq 2412 2437 2462 5180 ssid lab-hidden ""
        [ "$(iw dev $SCANNER scan dump | grep -c '^BSS ')" -ge $SCANNER_ENTRIES ] && break
        log "scan round $round heard too few access points, scanning again"
    done
    scan $CONNECTED freq 2412 2437
    scan $ADHOC freq 2437
    echo "scanned $(elapsed)" >> "$OUT/timings.txt"
    log "scans done at $(elapsed)s"

    LISTED=$(client_interfaces | tr '\n' ' ')
    echo "$LISTED" > "$OUT/listed.txt"
    record_interfaces $CLIENTS

    # The report, then iw's view of the same caches, both without privileges.
    run_report report as_nobody
    dump_scans $CLIENTS
    echo "captured $(elapsed)" >> "$OUT/timings.txt"

    # A report that failed or hung is not worth timing.
    [ "$(cat "$OUT/report.rc")" = 0 ] && bench
    echo "benched $(elapsed)" >> "$OUT/timings.txt"
    log "done at $(elapsed)s"
    finish 0
}

main
