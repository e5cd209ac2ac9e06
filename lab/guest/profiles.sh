# Sourced by /init when the kernel command line has lab.profiles=MANAGER:
# saved profiles under a network manager on a system bus. MANAGER is nm
# (NetworkManager), iwd, wpas-dbus (wpa_supplicant with its bus interface),
# wpas-ctrl (wpa_supplicant with its control sockets only) or connman.
# Radio 0 holds the access points (hostapd-profiles.conf), radio 1 is the
# station the manager connects, radio 2 a station no manager touches (but
# wpa_supplicant, which keeps it scanning). The report runs without privileges:
# as nobody, and except under NetworkManager also as labnet, a member of group
# netdev, which iwd's and wpa_supplicant's bus policies and wpa_supplicant's
# control sockets admit. Around the reports the managers' own tools record
# what the checker expects of them.

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

wpas_cli() { wpa_cli -p /run/wpa_supplicant -i "$@"; }

# wpa_supplicant on both stations, with its bus interface (dbus) or with its
# control sockets only (ctrl).
start_supplicant() {  # dbus|ctrl
    local bus=()
    [ "$1" = dbus ] && bus=(-u)
    # lab-stranger's access point has an address once hostapd runs.
    sed "s/@STRANGER_BSSID@/$(cat /sys/class/net/wlan0-2/address)/" /lab/wpas/wlan1.conf > /run/wpas-wlan1.conf
    wpa_supplicant "${bus[@]}" -B -f "$OUT/wpa_supplicant.log" -i $PROFILE_STATION -c /run/wpas-wlan1.conf \
        -N -i $PLAIN_STATION -c /lab/wpas/wlan2.conf || fail "wpa_supplicant did not start"
    wait_for 150 "wpa_supplicant to connect $PROFILE_STATION" connected $PROFILE_STATION
}

# ConnMan's saved services: SSID, security, whether it joins on its own. Only
# lab-home does; lab-gone is out of range.
CONNMAN_SERVICES=("lab-home psk true" "lab-cafe none false" "lab-dual psk false" "lab-gone psk false")

# Saved services are folders named after the service, which holds the
# station's address and the SSID in hex. A fixed address keeps ConnMan from
# waiting for an address server the lab does not run.
save_connman_services() {
    local mac row ssid security auto hex id
    mac=$(tr -d : < /sys/class/net/$PROFILE_STATION/address)
    mkdir -m 0700 /var/lib/connman
    cp /lab/connman/settings /var/lib/connman/settings
    for row in "${CONNMAN_SERVICES[@]}"; do
        read -r ssid security auto <<< "$row"
        hex=$(printf %s "$ssid" | od -An -tx1 | tr -d ' \n')
        id=wifi_${mac}_${hex}_managed_$security
        mkdir -m 0700 "/var/lib/connman/$id"
        {
            printf '[%s]\nName=%s\nSSID=%s\nFavorite=true\nAutoConnect=%s\n' "$id" "$ssid" "$hex" "$auto"
            [ "$security" = psk ] && echo Passphrase=lab-passphrase
            printf 'IPv4.method=manual\nIPv4.netmask_prefixlen=24\nIPv4.local_address=192.0.2.1\nIPv6.method=off\n'
        } > "/var/lib/connman/$id/settings"
    done
}

connman_ready() { connmanctl services 2>/dev/null | grep -q '^\*A[OR]' && authorized $PROFILE_STATION; }

start_connman() {
    save_connman_services
    wpa_supplicant -u -B -f "$OUT/wpa_supplicant.log" || fail "wpa_supplicant did not start"
    connmand -n -d -r -i $PROFILE_STATION > "$OUT/connmand.log" 2>&1 &
    wait_for 150 "ConnMan to connect $PROFILE_STATION" connman_ready
}

# Where the labnet report connects: while wpa_supplicant is on the bus, the
# report must read it there and leave its control sockets alone.
as_labnet_traced() {
    as_labnet strace -f -e trace=connect -e signal=none -s 64 -o /tmp/strace-report-netdev.txt "$@"
}

# wpa_supplicant's own client on each station's networks: the list, then per
# network the settings its matching reads ("ID NAME<tab>VALUE" lines).
record_supplicant_networks() {
    local dev id key
    for dev in $PROFILE_STATION $PLAIN_STATION; do
        wpas_cli "$dev" list_networks > "$OUT/wpas-list-$dev.txt" 2>&1
        for id in $(awk -F '\t' 'NR > 1 { print $1 }' "$OUT/wpas-list-$dev.txt"); do
            for key in ssid id_str key_mgmt bssid mode; do
                printf '%s %s\t%s\n' "$id" "$key" "$(wpas_cli "$dev" get_network "$id" "$key")"
            done
        done > "$OUT/wpas-get-$dev.txt"
    done
}

# The manager's view by its own tools, just before (WHEN=before) and just
# after the reports: a state may change in between.
record_manager() {  # MANAGER WHEN
    local dev
    case $1 in
    wpas-*)
        [ "$2" = before ] && record_supplicant_networks
        for dev in $PROFILE_STATION $PLAIN_STATION; do
            wpas_cli "$dev" status > "$OUT/wpas-status-$dev-$2.txt" 2>&1
        done
        ;;
    connman) connmanctl services > "$OUT/connman-services-$2.txt" 2>&1 ;;
    esac
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

profiles_main() {  # nm | iwd | wpas-dbus | wpas-ctrl | connman
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
    wpas-dbus) start_supplicant dbus ;;
    wpas-ctrl) start_supplicant ctrl ;;
    connman) start_connman ;;
    *) fail "unknown manager '$manager'" ;;
    esac
    echo "managed $(elapsed)" >> "$OUT/timings.txt"
    log "$manager connected $PROFILE_STATION at $(elapsed)s"

    ip link set $PLAIN_STATION up
    scan_all $PLAIN_STATION
    scan_all $PROFILE_STATION
    echo "scanned $(elapsed)" >> "$OUT/timings.txt"

    record_interfaces $PROFILE_STATION $PLAIN_STATION
    record_manager "$manager" before
    run_report report as_nobody
    case $manager in
    nm) ;;
    wpas-*)
        run_report report-netdev as_labnet_traced
        cp /tmp/strace-report-netdev.txt "$OUT/"
        ;;
    *) run_report report-netdev as_labnet ;;
    esac
    record_manager "$manager" after
    dump_scans $PROFILE_STATION $PLAIN_STATION
    echo "captured $(elapsed)" >> "$OUT/timings.txt"
    if [ "$manager" = nm ]; then
        bench_profiles > "$OUT/bench-profiles.txt" 2> "$OUT/bench-profiles.err"
        echo "benched $(elapsed)" >> "$OUT/timings.txt"
    fi
    log "done at $(elapsed)s"
    finish 0
}
