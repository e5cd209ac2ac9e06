# Sourced by /init when the kernel command line has lab.profiles=nm or
# lab.profiles=iwd: saved profiles under a network manager on a system bus.
# Radio 0 holds the access points (hostapd-profiles.conf), radio 1 is the
# station the manager connects, radio 2 a station no manager touches. The
# report runs without privileges: as nobody, and under iwd also as labnet,
# a member of group netdev, which iwd's bus policy admits.

PROFILE_STATION=wlan1
PLAIN_STATION=wlan2
LABNET=1001
NETDEV_GID=108

as_labnet() { setpriv --reuid=$LABNET --regid=$LABNET --groups=$NETDEV_GID "$@"; }

start_system_bus() {
    mkdir -p /run/dbus
    dbus-daemon --system --nofork --nosyslog > "$OUT/dbus.log" 2>&1 &
    wait_for 30 "the system bus" test -S /run/dbus/system_bus_socket
}

# NetworkManager manages no device that udev has not announced.
start_udev() {
    /lib/systemd/systemd-udevd --daemon > "$OUT/udevd.log" 2>&1 || fail "systemd-udevd did not start"
    udevadm trigger --action=add --subsystem-match=net
    udevadm settle --timeout=30
}

# On a busy host one scan can miss an access point: scan again, three times at
# most, until the cache holds all five of radio 0's.
scan_all() {  # INTERFACE
    local i
    for ((i = 0; i < 3; i++)); do
        scan "$1" freq 2412
        [ "$(iw dev "$1" scan dump | grep -c '^BSS ')" -ge 5 ] && return
    done
}

nm_activated() { nmcli -g GENERAL.STATE device show $PROFILE_STATION 2>/dev/null | grep -q '^100'; }

# Keys in place: the access point's entry on the station is authorized.
authorized() { iw dev "$1" station dump 2>/dev/null | grep -q 'authorized:.*yes'; }

start_networkmanager() {
    start_udev
    wpa_supplicant -u -B -f "$OUT/wpa_supplicant.log" || fail "wpa_supplicant did not start"
    NetworkManager --debug --log-level=INFO > "$OUT/networkmanager.log" 2>&1 &
    NM_PID=$!
    wait_for 150 "NetworkManager to activate Home on $PROFILE_STATION" nm_activated
    nmcli -f NAME,UUID,DEVICE connection show > "$OUT/nm-connections.txt" 2>&1
}

start_iwd() {
    /usr/libexec/iwd -d -i $PROFILE_STATION > "$OUT/iwd.log" 2>&1 &
    wait_for 150 "iwd to connect $PROFILE_STATION" authorized $PROFILE_STATION
}

# The benchmark: the report against nmcli's listing, both as nobody, with the
# lab's profiles, then with EXTRA_PROFILES more for SSIDs nobody broadcasts
# (half tied to the managed station), then the report with no manager
# running. Prints "BLOCK-report|BLOCK-nmcli START_US END_US" lines, alternating.
EXTRA_PROFILES=500
PROFILE_BENCH_RUNS=5
NMCLI_LIST=(nmcli -t -f IN-USE,SSID,BSSID,SIGNAL,SECURITY dev wifi list --rescan no)

timed() {  # LABEL COMMAND...
    local label=$1 t0 t1
    shift
    t0=$EPOCHREALTIME
    as_nobody "$@" > /dev/null 2>&1
    t1=$EPOCHREALTIME
    echo "$label ${t0/./} ${t1/./}"
}

# The kernel forgets a network 30 s after its last scan: every round starts
# from a fresh scan of both stations.
bench_block() {  # BLOCK with-nmcli|alone
    local i
    for ((i = 0; i < PROFILE_BENCH_RUNS; i++)); do
        scan $PLAIN_STATION freq 2412
        scan $PROFILE_STATION freq 2412
        timed "$1-report" wlanreport
        [ "$2" = with-nmcli ] && timed "$1-nmcli" "${NMCLI_LIST[@]}"
    done
}

add_absent_profiles() {  # COUNT
    local i dir=/etc/NetworkManager/system-connections tie
    for ((i = 0; i < $1; i++)); do
        tie=
        ((i % 2 == 0)) && tie="interface-name=$PROFILE_STATION"
        printf '[connection]\nid=Absent %d\nuuid=6c61622d-6162-4000-8000-%012d\ntype=wifi\nautoconnect=false\n%s\n[wifi]\nmode=infrastructure\nssid=lab-absent-%d\n\n[wifi-security]\nkey-mgmt=wpa-psk\npsk=lab-passphrase\n\n[ipv4]\nmethod=disabled\n\n[ipv6]\nmethod=disabled\n' \
            "$i" "$i" "$tie" "$i" > "$dir/absent-$i.nmconnection"
        chmod 0600 "$dir/absent-$i.nmconnection"
    done
    nmcli connection reload
}

profile_count() { nmcli -t -f NAME connection show 2>/dev/null | wc -l; }
profiles_loaded() { [ "$(profile_count)" -ge "$1" ]; }
nm_gone() { ! kill -0 "$NM_PID" 2>/dev/null; }

bench_profiles() {
    timed warmup wlanreport
    timed warmup "${NMCLI_LIST[@]}"
    bench_block lab with-nmcli
    local before
    before=$(profile_count)
    add_absent_profiles $EXTRA_PROFILES
    wait_for 120 "NetworkManager to load $EXTRA_PROFILES more profiles" profiles_loaded $((before + EXTRA_PROFILES))
    scan $PLAIN_STATION freq 2412
    scan $PROFILE_STATION freq 2412
    run_report report-many as_nobody
    bench_block many with-nmcli
    # When each of the report's bus calls went out and its reply came back.
    touch /tmp/strace-report-many.txt
    chown $NOBODY:$NOBODY /tmp/strace-report-many.txt
    as_nobody strace -f -tt -e trace=connect,sendmsg,recvmsg -e signal=none -s 0 \
        -o /tmp/strace-report-many.txt wlanreport > /dev/null 2>&1
    cp /tmp/strace-report-many.txt "$OUT/"
    kill "$NM_PID"
    wait_for 30 "NetworkManager to stop" nm_gone
    ip link set $PROFILE_STATION up   # NetworkManager takes its device down as it leaves
    bench_block none alone
}

profiles_main() {  # nm | iwd
    local manager=$1
    RADIOS=3
    load_modules
    iw reg set US
    start_hostapd profiles
    wait_for 60 "access points" ap_enabled wlan0
    log "access points enabled at $(elapsed)s"
    iw event -t > "$OUT/events.txt" 2>&1 &
    start_system_bus
    case $manager in
    nm) start_networkmanager ;;
    iwd) start_iwd ;;
    *) fail "unknown manager '$manager'" ;;
    esac
    echo "managed $(elapsed)" >> "$OUT/timings.txt"
    log "$manager connected $PROFILE_STATION at $(elapsed)s"

    ip link set $PLAIN_STATION up
    scan_all $PLAIN_STATION
    scan_all $PROFILE_STATION
    echo "scanned $(elapsed)" >> "$OUT/timings.txt"

    record_interfaces $PROFILE_STATION $PLAIN_STATION
    run_report report as_nobody
    [ "$manager" = iwd ] && run_report report-netdev as_labnet
    dump_scans $PROFILE_STATION $PLAIN_STATION
    echo "captured $(elapsed)" >> "$OUT/timings.txt"
    if [ "$manager" = nm ]; then
        bench_profiles > "$OUT/bench-profiles.txt" 2> "$OUT/bench-profiles.err"
        echo "benched $(elapsed)" >> "$OUT/timings.txt"
    fi
    log "done at $(elapsed)s"
    finish 0
}
