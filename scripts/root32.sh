#!/usr/bin/env bash
# The clone's own i386 Debian 12 root, build/root32, where 32-bit Wine lives: a root of one
# architecture has no amd64 twins whose versions its libraries must match, and the host gets
# no i386 package.
#   root32.sh make           makes the root once (debootstrap, then wine32 with the root's apt)
#   root32.sh run CMD...     runs CMD inside the root
#   root32.sh mounts DIR     prints the processes that see a mount at or below DIR, if any
#   root32.sh mirror SUITE   prints the mirror the root takes SUITE from (the host's apt sources)
# CMD runs in a private mount namespace: its bind mounts are seen by it and its children only,
# and the kernel drops them when the last of them ends, however it ends. Inside, the clone,
# /tmp (the X socket, the tests' folders, Wine's server sockets), /proc, /sys and /dev are at
# their host paths; the network is the host's, so the tests' loopback servers are reachable.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
root=$repo/build/root32
self=$repo/scripts/root32.sh
# Written last by "make": a root without it is incomplete and made again.
marker=$root/.complete
# What the tests' 32-bit Wine needs beside wine32 (whose Recommends are left out, as on the
# host): TLS (libgnutls30) and the X extensions the 64-bit Wine of the host also has.
ROOT_PACKAGES=(
  wine32 libgnutls30 libgssapi-krb5-2 libdbus-1-3
  libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1 libxfixes3 libxxf86vm1
)

# The processes that see a mount point at or below $1, or whose root directory is there (a
# chrooted process's mountinfo shows only what is below its root, by paths inside it).
mounts_below() {
  local dir=$1 seen=" " pid ns top
  for pid in /proc/[0-9]*; do
    top=$(readlink "$pid/root" 2>/dev/null) || continue
    if [ "$top" = "$dir" ] || [ "${top#"$dir"/}" != "$top" ]; then echo "${pid#/proc/}"; continue; fi
    ns=$(readlink "$pid/ns/mnt" 2>/dev/null) || continue
    case $seen in *" $ns "*) continue ;; esac
    seen+="$ns "
    awk -v d="$dir" '{ p = $5; gsub(/\\040/, " ", p); if (p == d || index(p, d "/") == 1) f = 1 }
                     END { exit !f }' "$pid/mountinfo" 2>/dev/null && echo "${pid#/proc/}"
  done
  return 0
}

# The first URI the host's apt sources give for suite $1 (deb822 or one-line format), else
# Debian's own. SETUP_APT_DIR stands for /etc/apt (the tests' sources).
host_mirror() {
  local suite=$1 apt=${SETUP_APT_DIR:-/etc/apt} f found
  found=$(
    for f in "$apt"/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v s="$suite" 'BEGIN { RS = "" }
        { uri = ""; ok = 0; deb = 0; n = split($0, l, "\n")
          for (i = 1; i <= n; i++) {
            if (l[i] ~ /^URIs:/) { split(l[i], a, /[ \t]+/); uri = a[2] }
            if (l[i] ~ /^Suites:/) { m = split(l[i], b, /[ \t]+/); for (j = 2; j <= m; j++) if (b[j] == s) ok = 1 }
            if (l[i] ~ /^Types:/ && l[i] ~ /[ \t]deb([ \t]|$)/) deb = 1
          }
          if (ok && deb && uri != "") print uri }' "$f"
    done
    for f in "$apt"/sources.list "$apt"/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v s="$suite" '$1 == "deb" { i = 2; if ($2 ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                                       if ($(i + 1) == s) print $i }' "$f"
    done | sed -n 1p)
  case $suite in
    *-security) echo "${found:-http://deb.debian.org/debian-security}" ;;
    *) echo "${found:-http://deb.debian.org/debian}" ;;
  esac
}

# Runs "$@" inside the root in a new private mount namespace (see above).
run_in_root() {
  if [ "${SETUP_ROOT32_NAMESPACE:-}" != "$root" ]; then
    SETUP_ROOT32_NAMESPACE=$root exec unshare --mount --propagation private "$self" run "$@"
  fi
  unset SETUP_ROOT32_NAMESPACE
  # The clone first and alone (--bind): the others are mounted below it, inside the root.
  mkdir -p "$root$repo"
  mount --bind "$repo" "$root$repo"
  local dir
  for dir in /proc /sys /dev /tmp; do
    mkdir -p "$root$dir"
    mount --rbind "$dir" "$root$dir"
  done
  # chroot starts in /: the program gets the caller's folder back (Wine maps it to its own).
  exec chroot "$root" /bin/sh -c 'cd "$0" 2>/dev/null || cd /; exec "$@"' "$PWD" "$@"
}

# Progress goes to stderr; a failure prints its reason on stdout and returns 1.
make_root() {
  [ -f "$marker" ] && return
  command -v debootstrap >/dev/null || { echo "debootstrap is not installed"; return 1; }
  if [ -e "$root" ]; then
    local pids
    pids=$(mounts_below "$root")
    if [ -n "$pids" ]; then
      echo "the incomplete i386 root has mounts below it, left as it is (seen by processes $(echo $pids))"
      return 1
    fi
    echo "setup: $root is incomplete: made again" >&2
    rm -rf --one-file-system "$root"
  fi
  mkdir -p "$repo/build"
  local mirror security
  mirror=$(host_mirror bookworm)
  security=$(host_mirror bookworm-security)
  echo "setup: making the i386 root $root from $mirror (once)" >&2
  local start=$SECONDS
  debootstrap --arch=i386 --variant=minbase bookworm "$root" "$mirror" >"$repo/build/root32-debootstrap.log" 2>&1 \
    || { echo "debootstrap of the i386 root failed (see build/root32-debootstrap.log)"; return 1; }
  printf 'deb %s bookworm main\ndeb %s bookworm-updates main\ndeb %s bookworm-security main\n' \
    "$mirror" "$mirror" "$security" >"$root/etc/apt/sources.list"
  echo "setup: root made in $((SECONDS - start)) s; installing ${ROOT_PACKAGES[*]} inside it" >&2
  start=$SECONDS
  # An index that fails (a mirror mid-sync) is left out: its suite's packages come from the others.
  "$self" run apt-get update -qq || echo "setup: the root's apt-get update failed for some indexes; installing from those it has" >&2
  "$self" run env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${ROOT_PACKAGES[@]}" \
    >"$repo/build/root32-apt.log" 2>&1 || { echo "the i386 root's apt-get could not install wine32 (see build/root32-apt.log)"; return 1; }
  "$self" run apt-get clean >&2
  [ -x "$root/usr/lib/wine/wine" ] && [ -x "$root/usr/lib/wine/wineserver32" ] \
    || { echo "the i386 root's wine32 has no /usr/lib/wine/wine or wineserver32"; return 1; }
  echo "setup: wine32 installed in the root in $((SECONDS - start)) s" >&2
  touch "$marker"
}

case ${1:-} in
  # Checked at every set-up: a container may refuse the mount namespace or chroot.
  make) make_root
    "$self" run /usr/lib/wine/wine --version >/dev/null 2>&1 \
      || { echo "the i386 root's Wine does not start here (unshare --mount or chroot refused)"; exit 1; } ;;
  run) shift; [ -x "$root/bin/sh" ] || { echo "root32: $root is not made (scripts/setup.sh makes it)" >&2; exit 2; }
    run_in_root "$@" ;;
  mounts) mounts_below "$2" ;;
  mirror) host_mirror "$2" ;;
  *) echo "usage: root32.sh make | run CMD... | mounts DIR | mirror SUITE" >&2; exit 2 ;;
esac
