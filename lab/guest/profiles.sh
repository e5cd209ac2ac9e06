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

nm_activated() { nmcli -g GENERAL.STATE device show $PROFILE_STATION 2>/dev/null | grep -q '^100'; }

# Keys in place: the access point's entry on the station is authorized.
authorized() { iw dev "$1" station dump 2>/dev/null | grep -q 'authorized:.*yes'; }

start_networkmanager() {
    start_udev
    wpa_supplicant -u -B -f "$OUT/wpa_supplicant.log" || fail "wpa_supplicant did not start"
    NetworkManager --debug --log-level=INFO > "$OUT/networkmanager.log" 2>&1 &
    wait_for 150 "NetworkManager to activate Home on $PROFILE_STATION" nm_activated
    nmcli -f NAME,UUID,DEVICE connection show > "$OUT/nm-connections.txt" 2>&1
}

start_iwd() {
    /usr/libexec/iwd -d -i $PROFILE_STATION > "$OUT/iwd.log" 2>&1 &
    wait_for 150 "iwd to connect $PROFILE_STATION" authorized $PROFILE_STATION
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
    scan $PLAIN_STATION freq 2412
    scan $PROFILE_STATION freq 2412
    echo "scanned $(elapsed)" >> "$OUT/timings.txt"

    record_interfaces $PROFILE_STATION $PLAIN_STATION
    run_report report as_nobody
    [ "$manager" = iwd ] && run_report report-netdev as_labnet
    dump_scans $PROFILE_STATION $PLAIN_STATION
    echo "captured $(elapsed)" >> "$OUT/timings.txt"
    log "done at $(elapsed)s"
    finish 0
}
