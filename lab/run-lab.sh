#!/usr/bin/env bash
# Builds the lab guest (Debian's kernel with mac80211_hwsim, a busybox
# initramfs with hostapd, wpa_supplicant, iw and wlanreport), boots it in QEMU
# without a network card, and checks the report against iw.
#
#   run-lab.sh PROGRAM WORKDIR [SCENARIO]
#
# SCENARIO radio (the default): access points of every kind. profiles: saved
# profiles, one guest run per manager (NetworkManager, iwd, wpa_supplicant
# with its bus interface and with its control sockets only, ConnMan), each
# managing one station; LAB_PROFILE_RUNS names the runs to make (default: all,
# "nm iwd wpas-dbus wpas-ctrl connman").
#
# WORKDIR keeps the downloaded Debian packages between runs: the kernel, and for
# the profiles scenario network-manager, iwd, connman and the libraries of
# theirs the host lacks (unpacked, never installed). Exit status: 0 passed, 1 failed (also
# when a package cannot be downloaded), 77 QEMU cannot start at all (the test
# is skipped).
set -euo pipefail
shopt -s inherit_errexit

LAB_DIR=$(cd "$(dirname "$0")" && pwd)
PROGRAM=${1:?usage: run-lab.sh PROGRAM WORKDIR [radio|profiles]}
WORK=${2:?usage: run-lab.sh PROGRAM WORKDIR [radio|profiles]}
SCENARIO=${3:-radio}
QEMU=${LAB_QEMU:-qemu-system-x86_64}
GUEST_TIMEOUT=${LAB_GUEST_TIMEOUT:-600}
SKIP=77

mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
PROGRAM=$(realpath "$PROGRAM")
DEBS=$WORK/debs
RUN=$WORK/run
GUEST=$WORK/guest
MANAGERS=   # the unpacked manager packages (profiles scenario)
PROFILE_RUNS=${LAB_PROFILE_RUNS:-nm iwd wpas-dbus wpas-ctrl connman}
if [ "$SCENARIO" = profiles ]; then GUEST=$WORK/guest-profiles; fi
# Kernel modules iwd needs for its cryptography (AF_ALG, keyrings).
IWD_MODULES="af_alg algif_hash algif_skcipher cmac ecb des_generic md4 sha512_generic pkcs8_key_parser ecdh_generic"

say() { echo "lab: $*"; }
die() { echo "lab: error: $*" >&2; exit 1; }
skip() { echo "lab: SKIPPED: $*" >&2; exit $SKIP; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# --- kernel -----------------------------------------------------------------

apt_download() {  # PACKAGE: into $DEBS, refreshing the package lists once if needed
    (cd "$DEBS" && apt-get download "$1") >&2 2>/dev/null && return 0
    if [ "$(id -u)" = 0 ] && [ -z "${LAB_APT_UPDATED:-}" ]; then
        LAB_APT_UPDATED=1
        apt-get update -qq >/dev/null 2>&1 || true
        (cd "$DEBS" && apt-get download "$1") >&2 && return 0
    fi
    return 1
}

# Prints the path of the versioned kernel package, downloading it once.
kernel_deb() {
    mkdir -p "$DEBS"
    local deb
    deb=$(ls -1 "$DEBS"/linux-image-[0-9]*-amd64_*.deb 2>/dev/null | sort -V | tail -n 1 || true)
    if [ -n "$deb" ]; then
        echo "$deb"
        return
    fi
    say "downloading Debian's kernel package (cached in $DEBS)" >&2
    apt_download linux-image-amd64 || die "apt-get download linux-image-amd64 failed"
    local meta versioned
    meta=$(ls -1 "$DEBS"/linux-image-amd64_*.deb | tail -n 1)
    versioned=$(dpkg-deb -f "$meta" Depends | tr ',' '\n' | grep -o 'linux-image-[0-9][^ ]*-amd64' | head -n 1)
    [ -n "$versioned" ] || die "cannot tell which kernel $meta depends on"
    apt_download "$versioned" || die "apt-get download $versioned failed"
    ls -1 "$DEBS/${versioned}"_*.deb | tail -n 1
}

# Unpacks the kernel image and the modules the lab needs (not the whole package).
unpack_kernel() {  # DEB -> prints the unpacked folder
    local deb=$1 dir
    dir=$WORK/kernel/$(basename "$deb" .deb)
    if [ ! -e "$dir/.unpacked" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$dir" --wildcards \
            './boot/vmlinuz-*' './lib/modules/*/kernel/net/*' './lib/modules/*/kernel/crypto/*' \
            './lib/modules/*/kernel/lib/*' './lib/modules/*/kernel/drivers/virtio/*' \
            './lib/modules/*/kernel/drivers/net/wireless/mac80211_hwsim.ko'
        touch "$dir/.unpacked"
    fi
    echo "$dir"
}

# --- NetworkManager, iwd and ConnMan ----------------------------------------

# The profiles guest runs Debian's NetworkManager, iwd and ConnMan, taken from
# their packages like the kernel: downloaded, unpacked, never installed.
# Installed, each would start managing the host's own interfaces.
MANAGER_PACKAGES=(network-manager iwd connman)

# Prints "PACKAGE VERSION" for each PACKAGE apt can download, refreshing the
# package lists once if apt knows some of them not. One apt-cache call: each
# reads all the lists.
candidate_versions() {  # PACKAGE...
    local versions
    versions=$(policy_candidates "$@")
    if [ "$(grep -c . <<< "$versions" || true)" -lt $# ] && [ "$(id -u)" = 0 ] && [ -z "${LAB_APT_UPDATED:-}" ]; then
        LAB_APT_UPDATED=1
        apt-get update -qq >/dev/null 2>&1 || true
        versions=$(policy_candidates "$@")
    fi
    echo "$versions"
}

policy_candidates() {  # PACKAGE...
    apt-cache policy "$@" 2>/dev/null | awk '
        /^[^ ]/ { name = $1; sub(/:.*/, "", name) }
        $1 == "Candidate:" && $2 != "(none)" { print name, $2 }'
}

cached_deb() {  # PACKAGE VERSION: prints the downloaded package file of that version
    local deb
    for deb in "$DEBS/$1"_*.deb; do
        [ -e "$deb" ] && [ "$(dpkg-deb -f "$deb" Version)" = "$2" ] && echo "$deb" && return 0
    done
    return 1
}

# Prints the path of PACKAGE's Debian package of VERSION, downloading it once;
# a download drops the package's older versions.
package_deb() {  # PACKAGE VERSION
    local deb old
    [ -n "$2" ] || die "apt-get download $1 failed: apt knows no version of package $1"
    cached_deb "$1" "$2" && return 0
    say "downloading Debian's $1 $2 (cached in $DEBS)" >&2
    apt_download "$1=$2" || die "apt-get download $1=$2 failed"
    deb=$(cached_deb "$1" "$2") || die "apt-get download $1=$2 left no package file in $DEBS"
    for old in "$DEBS/$1"_*.deb; do
        [ "$old" = "$deb" ] || rm -f "$old"
    done
    echo "$deb"
}

# Whether the host has PACKAGE installed for its own architecture (a foreign
# one's libraries are no use to the guest), in a version that meets RELATION
# VERSION when given (dpkg's relations: << <= = >= >>).
host_has() {  # PACKAGE [RELATION VERSION]
    local version
    version=$(dpkg-query -W -f='${db:Status-Abbrev}|${Architecture}|${Version}\n' "$1" 2>/dev/null |
        awk -F '|' -v arch="$(dpkg --print-architecture)" '$1 ~ /^ii/ && ($2 == arch || $2 == "all") { print $3; exit }' || true)
    [ -n "$version" ] || return 1
    [ -z "${2:-}" ] || dpkg --compare-versions "$version" "$2" "$3"
}

# Prints the library packages DEB depends on that the host lacks or has too
# old: of each dependency no installed package meets, its first alternative
# named lib*. The others (adduser, polkitd, init-system-helpers, the bus)
# hold nothing the guest uses.
missing_libraries() {  # DEB
    local clause alternative alternatives name relation version met wanted
    { dpkg-deb -f "$1" Pre-Depends; dpkg-deb -f "$1" Depends; } | tr ',' '\n' | while read -r clause; do
        [ -n "$clause" ] || continue
        met='' wanted=''
        IFS='|' read -r -a alternatives <<< "$clause"
        for alternative in "${alternatives[@]}"; do
            read -r name relation version <<< "${alternative//[()]/ }"
            name=${name%%:*}
            if host_has "$name" ${relation:+"$relation" "$version"}; then
                met=1
                break
            fi
            [ -n "$wanted" ] || [[ $name != lib* ]] || wanted=$name
        done
        [ -n "$met" ] || [ -z "$wanted" ] || echo "$wanted"
    done
}

# Downloads MANAGER_PACKAGES and the libraries of their dependency closure the
# host lacks, unpacks them into one root per set of package versions under
# WORK/managers (a new version makes a new root) and prints its path.
manager_root() {
    mkdir -p "$DEBS"
    local level=("${MANAGER_PACKAGES[@]}") next debs=() versions package deb libraries library root key
    local -A seen=()
    for package in "${level[@]}"; do seen[$package]=1; done
    while [ ${#level[@]} -gt 0 ]; do
        versions=$(candidate_versions "${level[@]}")
        next=()
        for package in "${level[@]}"; do
            deb=$(package_deb "$package" "$(awk -v p="$package" '$1 == p { print $2 }' <<< "$versions")")
            debs+=("$deb")
            libraries=$(missing_libraries "$deb")
            for library in $libraries; do
                [ -z "${seen[$library]:-}" ] || continue
                seen[$library]=1
                next+=("$library")
            done
        done
        level=("${next[@]}")
    done
    key=$(printf '%s\n' "${debs[@]##*/}" | sort | sha256sum | cut -c 1-16)
    root=$WORK/managers/$key
    if [ ! -e "$root/.unpacked" ]; then
        rm -rf "$WORK/managers"   # roots of older versions
        mkdir -p "$root"
        for deb in "${debs[@]}"; do
            dpkg-deb -x "$deb" "$root"
        done
        printf '%s\n' "${debs[@]##*/}" | sort > "$root/.packages"
        touch "$root/.unpacked"
    fi
    echo "$root"
}

# --- initramfs --------------------------------------------------------------

# Prints the libraries FILE loads, one path a line; those UNPACKED holds are
# looked up there before the host's. Dies when one is found nowhere.
libraries_of() {  # FILE [UNPACKED]
    local file=$1 search=${LD_LIBRARY_PATH:-} listing missing
    if [ -n "${2:-}" ]; then
        search=$(find "$2" -name '*.so*' \( -type f -o -type l \) -printf '%h\n' | sort -u | paste -sd :)${search:+:$search}
    fi
    listing=$(if [ -n "$search" ]; then LD_LIBRARY_PATH=$search ldd "$file"; else ldd "$file"; fi 2>/dev/null || true)
    missing=$(sed -n 's/^[[:space:]]*\([^ ]*\) => not found$/\1/p' <<< "$listing" | paste -sd ' ')
    [ -z "$missing" ] || die "$file needs $missing, which neither the host nor the unpacked packages hold"
    sed -n -e 's/^.* => \(\/.*\) (0x[0-9a-f]*)$/\1/p' -e 's/^[[:space:]]*\(\/.*\) (0x[0-9a-f]*)$/\1/p' <<< "$listing"
}

copy_with_libraries() {  # ROOT FILE TARGET [UNPACKED]: UNPACKED's libraries keep their paths below it
    local root=$1 file=$2 target=$3 unpacked=${4:-} libraries lib guest
    install -D -m 0755 "$file" "$root$target"
    libraries=$(libraries_of "$file" "$unpacked")
    while read -r lib; do
        [ -n "$lib" ] || continue
        guest=$lib
        [ -n "$unpacked" ] && guest=${lib#"$unpacked"}
        [ -e "$root$guest" ] || install -D -m 0755 "$(realpath "$lib")" "$root$guest"
    done <<< "$libraries"
}

# NetworkManager, iwd, ConnMan, the system bus and udev, with the lab's
# configuration and profiles, and the users the bus and the checks need.
# The managers come from the unpacked packages (MANAGERS); the bus, udev and
# wpa_supplicant from the host.
add_manager_tools() {  # ROOT
    local root=$1 tool path plugin file
    for tool in dbus-daemon udevadm; do
        path=$(PATH=/usr/sbin:/usr/bin:/sbin:/bin command -v "$tool") ||
            die "$tool is not installed (packages udev, dbus-daemon)"
        copy_with_libraries "$root" "$path" "$path"
    done
    copy_with_libraries "$root" "$(command -v udevadm)" /lib/systemd/systemd-udevd
    for file in /usr/sbin/NetworkManager /usr/bin/nmcli /usr/libexec/iwd /usr/sbin/connmand /usr/bin/connmanctl; do
        [ -e "$MANAGERS$file" ] || die "$file is missing from the unpacked packages in $MANAGERS"
        copy_with_libraries "$root" "$MANAGERS$file" "$file" "$MANAGERS"
    done
    # Loaded at run time: ldd of NetworkManager does not list it.
    plugin=$(ls -1 "$MANAGERS"/usr/lib/*/NetworkManager/*/libnm-device-plugin-wifi.so 2>/dev/null | head -n 1)
    [ -n "$plugin" ] || die "NetworkManager's Wi-Fi plugin is missing from $MANAGERS (package network-manager)"
    copy_with_libraries "$root" "$plugin" "${plugin#"$MANAGERS"}" "$MANAGERS"
    local conf
    for conf in /usr/share/dbus-1/system.conf /etc/dbus-1/system.d/wpa_supplicant.conf; do
        [ -e "$conf" ] || die "$conf is missing (packages dbus-system-bus-common, wpasupplicant)"
        install -D -m 0644 "$conf" "$root$conf"
    done
    for conf in /usr/share/dbus-1/system.d/org.freedesktop.NetworkManager.conf /usr/share/dbus-1/system.d/iwd-dbus.conf \
        /usr/share/dbus-1/system.d/connman.conf; do
        [ -e "$MANAGERS$conf" ] || die "$conf is missing from the unpacked packages in $MANAGERS"
        install -D -m 0644 "$MANAGERS$conf" "$root$conf"
    done
    install -D -m 0644 "$LAB_DIR/guest/nm/NetworkManager.conf" "$root/etc/NetworkManager/NetworkManager.conf"
    # NetworkManager ignores profiles that others may read.
    install -d -m 0700 "$root/etc/NetworkManager/system-connections" "$root/var/lib/iwd"
    install -m 0600 "$LAB_DIR"/guest/nm/*.nmconnection "$root/etc/NetworkManager/system-connections/"
    install -D -m 0644 "$LAB_DIR/guest/iwd/main.conf" "$root/etc/iwd/main.conf"
    install -m 0600 "$LAB_DIR"/guest/iwd/lab-* "$root/var/lib/iwd/"
    install -D -m 0644 -t "$root/lab/wpas" "$LAB_DIR"/guest/wpas/*.conf
    install -D -m 0644 -t "$root/lab/connman" "$LAB_DIR"/guest/connman/settings
    install -m 0644 "$LAB_DIR/guest/profiles.sh" "$root/lab/"
    mkdir -p "$root/var/lib/NetworkManager"
    ln -s /run "$root/var/run"   # where the bus's socket is looked for
    echo 6c61622d70726f66696c65732d6c6162 > "$root/etc/machine-id"
    printf 'messagebus:x:100:101::/nonexistent:/bin/false\nlabnet:x:%s:%s::/:/bin/false\n' 1001 1001 >> "$root/etc/passwd"
    printf 'messagebus:x:101:\nnetdev:x:108:labnet\nlabnet:x:1001:\n' >> "$root/etc/group"
}

build_initramfs() {  # KERNELDIR OUTPUT
    local kdir=$1 output=$2 root=$GUEST/root tool
    rm -rf "$root"
    mkdir -p "$root"/{bin,sbin,usr/bin,usr/sbin,usr/local/bin,lib/firmware,lab,etc,tmp,run}
    install -m 0755 "$(command -v busybox)" "$root/bin/busybox"
    copy_with_libraries "$root" "$(command -v bash)" /bin/bash
    for tool in hostapd hostapd_cli wpa_supplicant wpa_cli iw setpriv strace; do
        local path
        path=$(PATH=/usr/sbin:/usr/bin:/sbin:/bin command -v "$tool") || die "$tool is not installed"
        copy_with_libraries "$root" "$path" "$path"
    done
    copy_with_libraries "$root" "$PROGRAM" /usr/local/bin/wlanreport
    install -m 0755 "$LAB_DIR/guest/init.sh" "$root/init"
    install -m 0644 "$LAB_DIR"/guest/*.conf "$LAB_DIR/guest/eap-users" "$LAB_DIR/guest/bench.sh" "$root/lab/"
    local regdb
    for regdb in regulatory.db regulatory.db.p7s; do
        local source=/lib/firmware/$regdb-debian
        [ -e "$source" ] || source=/lib/firmware/$regdb
        [ -e "$source" ] || die "$regdb is missing (package wireless-regdb)"
        install -m 0644 "$source" "$root/lib/firmware/$regdb"
    done
    local module extra=()
    [ "$SCENARIO" = profiles ] && read -r -a extra <<< "$IWD_MODULES"
    python3 "$LAB_DIR/lab.py" moddeps "$kdir/lib/modules" \
        mac80211_hwsim ccm ctr cmac gcm ghash_generic michael_mic "${extra[@]}" > "$GUEST/modules.paths"
    : > "$root/lab/modules.list"
    while read -r module; do
        install -D -m 0644 "$module" "$root/lab/modules/${module##*/}"
        echo "/lab/modules/${module##*/}" >> "$root/lab/modules.list"
    done < "$GUEST/modules.paths"
    printf 'root:x:0:0:root:/:/bin/sh\nnobody:x:65534:65534:nobody:/:/bin/false\n' > "$root/etc/passwd"
    printf 'root:x:0:\nnogroup:x:65534:\n' > "$root/etc/group"
    [ "$SCENARIO" = profiles ] && add_manager_tools "$root"
    (cd "$root" && find . -print0 | cpio --null -o -H newc -R 0:0 --quiet) | gzip -1 > "$output"
}

# --- QEMU -------------------------------------------------------------------

# Uses KVM only when a real boot with it reaches /init quickly.
choose_accel() {  # KERNEL INITRD
    if [ "${LAB_ACCEL:-}" ]; then echo "$LAB_ACCEL"; return; fi
    if [ -r /dev/kvm ] && [ -w /dev/kvm ]; then
        local log=$RUN/probe-console.log
        : > "$log"
        timeout 30 "$QEMU" -accel kvm -cpu host -m 256M -nodefaults -display none -no-reboot \
            -nic none -monitor none -kernel "$1" -initrd "$2" \
            -append 'console=ttyS0 panic=-1 quiet lab.probe' -serial "file:$log" \
            > "$RUN/probe-qemu.log" 2>&1 || true
        if grep -q LAB-PROBE-OK "$log"; then echo kvm; return; fi
    fi
    echo tcg
}

boot() {  # ACCEL KERNEL INITRD [KERNEL-ARGUMENT]
    local console=$RUN/console.log data=$RUN/data.log status=0
    : > "$console"
    : > "$data"
    local accel=(-accel tcg -cpu max)
    [ "$1" = kvm ] && accel=(-accel kvm -cpu host)
    timeout "$GUEST_TIMEOUT" "$QEMU" "${accel[@]}" -m 768M -nodefaults -display none \
        -no-reboot -nic none -monitor none -kernel "$2" -initrd "$3" \
        -append "console=ttyS0 panic=-1 quiet loglevel=3${4:+ $4}" \
        -serial "file:$console" -serial "file:$data" > "$RUN/qemu.log" 2>&1 || status=$?
    if [ ! -s "$console" ] && [ "$status" != 0 ] && [ "$status" != 124 ]; then
        skip "QEMU cannot start at all (exit $status): $(head -c 600 "$RUN/qemu.log")"
    fi
    [ "$status" = 124 ] && say "the guest did not finish within ${GUEST_TIMEOUT}s"
    return 0
}

# Boots the guest once per run and checks what it sent: the radio scenario
# in WORK/run, the profiles scenario in WORK/run-profiles-MANAGER.
main() {
    case $SCENARIO in
    radio | profiles) ;;
    *) die "unknown scenario '$SCENARIO' (radio or profiles)" ;;
    esac
    command -v "$QEMU" >/dev/null 2>&1 ||
        skip "QEMU cannot start at all: $QEMU is not installed (scripts/install-deps.sh installs it)"
    [ -x "$PROGRAM" ] || die "program $PROGRAM is missing"
    local t0 deb kdir kernel initrd accel manager
    t0=$(now)
    if [ "$SCENARIO" = profiles ]; then
        read -r -a PROFILE_RUNS <<< "$PROFILE_RUNS"
        [ ${#PROFILE_RUNS[@]} -gt 0 ] || die "LAB_PROFILE_RUNS names no run"
        for manager in "${PROFILE_RUNS[@]}"; do
            [[ $manager =~ ^(nm|iwd|wpas-dbus|wpas-ctrl|connman)$ ]] ||
                die "unknown profiles run '$manager' (LAB_PROFILE_RUNS: nm iwd wpas-dbus wpas-ctrl connman)"
        done
        RUN=$WORK/run-profiles-${PROFILE_RUNS[0]}
    fi
    rm -rf "$RUN"
    mkdir -p "$RUN" "$GUEST"
    deb=$(kernel_deb)
    kdir=$(unpack_kernel "$deb")
    if [ "$SCENARIO" = profiles ]; then
        MANAGERS=$(manager_root)
        say "managers from $(paste -sd ' ' "$MANAGERS/.packages")"
    fi
    kernel=$(ls -1 "$kdir"/boot/vmlinuz-* | head -n 1)
    initrd=$GUEST/initramfs.cpio.gz
    build_initramfs "$kdir" "$initrd"
    say "guest built in $(since "$t0")s from $(basename "$deb") ($(du -h "$initrd" | cut -f1) initramfs)"
    local t1
    t1=$(now)
    accel=$(choose_accel "$kernel" "$initrd")
    say "accelerator: $accel (chosen in $(since "$t1")s)"
    local status runs=()
    if [ "$SCENARIO" = radio ]; then
        t1=$(now)
        boot "$accel" "$kernel" "$initrd"
        say "guest ran for $(since "$t1")s"
        tr -d '\r' < "$RUN/console.log" | grep -a '^lab: ' || true
        python3 "$LAB_DIR/lab.py" check "$RUN" && status=0 || status=$?
    else
        for manager in "${PROFILE_RUNS[@]}"; do
            RUN=$WORK/run-profiles-$manager
            rm -rf "$RUN"
            mkdir -p "$RUN"
            t1=$(now)
            boot "$accel" "$kernel" "$initrd" "lab.profiles=$manager"
            say "guest with $manager ran for $(since "$t1")s"
            tr -d '\r' < "$RUN/console.log" | grep -a '^lab: ' || true
            runs+=("$RUN")
        done
        python3 "$LAB_DIR/lab.py" profiles "${runs[@]}" && status=0 || status=$?
    fi
    say "whole lab run took $(since "$t0")s"
    return $status
}

main
