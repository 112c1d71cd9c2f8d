#!/usr/bin/env bash
# Builds hddterm's Debian package and checks that it installs and runs.
#   scripts/check-package.sh                  a Release build in build-pkg, its package, the checks
#   scripts/check-package.sh --build-dir DIR  the package of a build folder that exists (the suite's)
#   scripts/check-package.sh --install        also installs it on this machine with apt (root), runs
#                                             the installed programs and removes the package again
#   scripts/check-package.sh --chroot DIR     also installs it into a fresh Debian 12 made there with
#                                             debootstrap (root, the machine's Debian mirror), and runs it
# The checks: the control fields and dependencies, every file in place, the dependencies resolvable
# with apt, and the programs run from the unpacked package (the console on the simulated drive and on
# a pseudo-terminal served by hddsim, the GUI for a few seconds).
# Exit 0 when all is well, 1 on a failure, 77 when the build folder lacks the programs or dpkg is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
build=""
install=0
chroot_dir=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build="$2"; shift 2 ;;
    --install) install=1; shift ;;
    --chroot) chroot_dir="$2"; shift 2 ;;
    *) echo "usage: $0 [--build-dir DIR] [--install] [--chroot DIR]" >&2; exit 2 ;;
  esac
done

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }

if [ -z "$build" ]; then
  scripts/setup.sh
  build=$src/build-pkg
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DHDDTERM_TESTS=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)" --target hddterm hddterm-cli hddsim
fi
build=$(cd "$build" && pwd)
for p in hddterm hddterm-cli hddsim; do
  [ -x "$build/bin/$p" ] || skip "$build/bin/$p is not built"
done
for t in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$t" >/dev/null || skip "$t is missing (dpkg-dev)"
done

work=$(mktemp -d)
hddsim_pid=""
cleanup() {
  [ -n "$hddsim_pid" ] && kill "$hddsim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/hddterm_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package made"
echo "package: $(basename "$deb")"

# Control fields and dependencies.
[ "$(dpkg-deb -f "$deb" Package)" = hddterm ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
for d in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 qt6-translations-l10n fonts-wqy-zenhei; do
  grep -q "$d" <<<"$depends" || fail "Depends lacks $d"
done

# Every file in place.
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
for f in ./usr/bin/hddterm ./usr/bin/hddterm-cli ./usr/bin/hddsim \
         ./usr/share/applications/hddterm.desktop \
         ./usr/share/icons/hicolor/scalable/apps/hddterm.svg ./usr/share/icons/hicolor/256x256/apps/hddterm.png; do
  grep -qx "$f" "$work/contents" || fail "the package lacks $f"
done
for page in hddterm hddterm-cli hddsim; do
  grep -qE "^\./usr/share/man/man1/$page\.1(\.gz)?$" "$work/contents" || fail "the package lacks the man page $page.1"
done

# The dependencies can be met from what apt knows (installed or in its lists).
if command -v apt-get >/dev/null; then
  apt-get install -s -q "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt cannot install the package"; }
fi

# The unpacked package.
root=$work/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  [ -e "$page" ] || continue
  gzip -t "$page" || fail "man page $page"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/hddterm.desktop" || fail "desktop file"
fi
grep -q '^Exec=hddterm$' "$root/usr/share/applications/hddterm.desktop" || fail "desktop file Exec"

run_programs() {  # $1: folder of the programs, $2: a prefix command (chroot) or empty
  local b=$1 pre=${2:-}
  $pre "$b/hddterm" --version | grep -q '^hddterm ' || fail "hddterm --version"
  $pre "$b/hddterm-cli" ports | grep -qx 'sim' || fail "hddterm-cli ports"
  $pre "$b/hddterm-cli" --port sim run CMD:/1 WAIT:300 >"$work/cli.out" 2>"$work/cli.err" ||
    { cat "$work/cli.err"; fail "hddterm-cli on the simulated drive"; }
  grep -q '1>' "$work/cli.err" || { cat "$work/cli.err"; fail "no answer from the simulated drive"; }
  # The GUI comes up and stays up (offscreen) until it is stopped.
  local rc=0
  QT_QPA_PLATFORM=offscreen timeout 4 $pre "$b/hddterm" --port sim >"$work/gui.log" 2>&1 || rc=$?
  [ "$rc" -eq 124 ] || { cat "$work/gui.log"; fail "hddterm ended by itself (exit $rc)"; }
}

run_programs "$bin"
[ -f "$bin/HDDINFO.TXT" ] || fail "HDDINFO.TXT was not written beside the program"
# hddsim on a pseudo-terminal, worked by the console program.
"$bin/hddsim" --pty >"$work/pty" 2>"$work/hddsim.err" &
hddsim_pid=$!
for _ in $(seq 50); do [ -s "$work/pty" ] && break; sleep 0.1; done
pty=$(head -1 "$work/pty")
[ -n "$pty" ] || fail "hddsim printed no pseudo-terminal"
"$bin/hddterm-cli" --port "$pty" run CMD:/2 WAIT:500 2>"$work/pty.err" >/dev/null ||
  { cat "$work/pty.err"; fail "hddterm-cli on hddsim's pseudo-terminal"; }
grep -q '2>' "$work/pty.err" || { cat "$work/pty.err"; fail "no answer over the pseudo-terminal"; }
kill "$hddsim_pid" 2>/dev/null || true
wait "$hddsim_pid" 2>/dev/null || true
hddsim_pid=""
echo "unpacked package: programs run"

if [ "$install" = 1 ]; then
  [ "$(id -u)" = 0 ] || fail "--install needs root"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "apt-get install"; }
  run_programs /usr/bin
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -q hddterm >/dev/null 2>&1 || true
  echo "installed package: programs run, package removed again"
fi

if [ -n "$chroot_dir" ]; then
  [ "$(id -u)" = 0 ] || fail "--chroot needs root"
  command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap >/dev/null
  # The mirror this machine already uses.
  sources=$(ls /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  mirror=$( (cat $sources 2>/dev/null || true) | grep -v '^ *#' | grep -oE 'https?://[^ ]+/debian/?( |$)' |
           tr -d ' ' | head -1 || true)
  [ -n "$mirror" ] || fail "no Debian mirror in /etc/apt"
  if [ ! -x "$chroot_dir/usr/bin/apt-get" ]; then
    debootstrap --variant=minbase bookworm "$chroot_dir" "$mirror" >"$work/debootstrap.log" 2>&1 ||
      { tail -20 "$work/debootstrap.log"; fail "debootstrap"; }
  fi
  cp "$deb" "$chroot_dir/tmp/"
  in_chroot() { chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
  in_chroot apt-get update -q >/dev/null
  in_chroot env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")" \
    >"$work/chroot-install.log" 2>&1 || { tail -30 "$work/chroot-install.log"; fail "install in the fresh Debian"; }
  mount -t proc proc "$chroot_dir/proc" 2>/dev/null || true
  mount --bind /dev "$chroot_dir/dev" 2>/dev/null || true
  rc=0
  ( run_programs /usr/bin "chroot $chroot_dir" ) || rc=$?
  umount "$chroot_dir/dev" "$chroot_dir/proc" 2>/dev/null || true
  [ "$rc" = 0 ] || exit "$rc"
  echo "fresh Debian 12: package installed, programs run"
fi
echo "package check passed"
