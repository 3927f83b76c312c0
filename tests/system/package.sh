#!/bin/bash
# The Debian package: CPack builds the .deb, lintian finds no error, no
# warning and no missing hardening in it, apt installs it, the manual pages
# read without warnings and the capture page names every option of the
# program's --help, `tidewash` on
# the PATH plays from an unrelated directory (Space, Escape, the "FPS: "
# line) in the data directory that holds Quietfall.MP3, and purging the
# package leaves none of its files behind. Needs root; it refuses to run over
# a tidewash package that was installed before.
#   package.sh DEMO MAKE_TONE CPACK CPACK_CONFIG SOUNDTRACK
. "$(dirname "$0")/common.sh"
cpack=$3
cpack_config=$4
soundtrack=$5

[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
is_installed() { dpkg-query -W -f='${Status}' tidewash 2>/dev/null | grep -q "install ok installed"; }
is_installed && fail "a tidewash package is installed already; the test would remove it"
export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -y -q -o DPkg::Lock::Timeout=120 "$@"; }
installed_by_test=no
trap '[ "$installed_by_test" = yes ] && is_installed && apt_get purge tidewash > /dev/null; rm -rf "$work"' EXIT

# apt reads a local package as its unprivileged _apt user.
chmod 755 "$work"
"$cpack" --config "$cpack_config" -B "$work/package" > cpack.txt 2>&1 || fail "cpack failed: $(tail -n 5 cpack.txt)"
deb=$(ls "$work"/package/tidewash_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no tidewash_*.deb: $(tail -n 5 cpack.txt)"
echo "ok: built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# The package's fields: dependencies found by dpkg-shlibdeps and a description.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl1.2debian libmpg123-0 libc6 libstdc++6; do
  grep -q "$library" <<< "$depends" || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 3 ] || fail "no long description"
echo "ok: Depends: $depends"

# Debian's own checks. The programs' hardening (fortify, stack protector,
# PIE, relro and now) is reported as information.
command -v lintian > /dev/null || fail "lintian is missing; scripts/install-deps.sh installs it"
lintian --display-info "$deb" > lintian.txt 2> lintian-errors.txt
lintian_status=$?
grep -E '^(E|W): |^I: .*hardening-' lintian.txt && fail "lintian finds faults in the package"
[ "$lintian_status" -eq 0 ] || fail "lintian exit status $lintian_status: $(tail -n 5 lintian-errors.txt)"
echo "ok: lintian: no errors, warnings or missing hardening ($(grep -c '^I: ' lintian.txt) notes)"

installed_by_test=yes
apt_get install "$deb" > apt.txt 2>&1 || fail "apt-get install failed: $(tail -n 5 apt.txt)"
is_installed || fail "the package is not installed after apt-get install"
dpkg -L tidewash > files.txt
for path in /usr/bin/tidewash /usr/libexec/tidewash/tidewash /usr/share/tidewash/Quietfall.MP3 \
            /usr/share/applications/tidewash.desktop /usr/share/icons/hicolor/256x256/apps/tidewash.png \
            /usr/share/doc/tidewash/copyright /usr/share/doc/tidewash/changelog.gz \
            /usr/share/man/man6/tidewash.6.gz /usr/share/man/man1/tidewash-capture.1.gz; do
  grep -qx "$path" files.txt || fail "the package does not hold $path"
  [ -s "$path" ] || fail "$path is missing or empty after installing"
done
[ "$(command -v tidewash)" = /usr/bin/tidewash ] || fail "tidewash on the PATH is $(command -v tidewash)"
desktop-file-validate /usr/share/applications/tidewash.desktop || fail "the desktop entry is not valid"
grep -qx 'Exec=tidewash' /usr/share/applications/tidewash.desktop || fail "the desktop entry does not start tidewash"
[ "$(identify -format '%m %wx%h' /usr/share/icons/hicolor/256x256/apps/tidewash.png)" = "PNG 256x256" ] ||
  fail "the icon is not a 256x256 PNG"
cmp -s /usr/share/tidewash/Quietfall.MP3 "$soundtrack" ||
  fail "the installed soundtrack is not the one the build made"
for page in tidewash tidewash-capture; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings "$page" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "man --warnings $page: $warnings"
done
for option in $(tidewash-capture --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  zcat /usr/share/man/man1/tidewash-capture.1.gz | sed 's/\\-/-/g' | grep -q -- "$option" ||
    fail "the manual page of tidewash-capture lacks $option"
done
echo "ok: installed $(grep -c . files.txt) paths; the manual pages read without warnings"

# Plays from a directory with no soundtrack in it.
mkdir elsewhere
cd elsewhere
tidewash > out.txt 2> err.txt &
pid=$!
window=$(demo_window)
[ -n "$window" ] || fail "no demo window appeared"
[ "$(readlink "/proc/$pid/exe")" = /usr/libexec/tidewash/tidewash ] || fail "the launcher did not start the program"
[ "$(readlink "/proc/$pid/cwd")" = /usr/share/tidewash ] || fail "the program does not run in /usr/share/tidewash"
xdotool windowfocus --sync "$window"
space_until 1000 "$pid"
xdotool key Escape
timeout 20 tail --pid="$pid" -f /dev/null
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "the demo did not end on Escape"; }
wait "$pid"
status=$?
cp out.txt err.txt "$work"
cd "$work"
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
position=$(tail -n 2 out.txt | head -n 1)
[[ "$position" =~ ^[0-9]+$ ]] && [ "$position" -ge 1000 ] && [ "$position" -le 10000 ] ||
  fail "position line '$position' is not about 1 s"
[[ "$(tail -n 1 out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "the last line is not 'FPS: ' and digits"
[ -z "$(ls elsewhere | grep -v '^out.txt$\|^err.txt$')" ] || fail "the demo left files in the directory it was started from"
echo "ok: tidewash plays from $work/elsewhere: position $position, $(tail -n 1 out.txt)"

apt_get purge tidewash > apt.txt 2>&1 || fail "apt-get purge failed: $(tail -n 5 apt.txt)"
is_installed && fail "the package is still installed after apt-get purge"
dpkg-query -W tidewash > /dev/null 2>&1 && fail "dpkg still knows the package after apt-get purge"
left=0
while read -r path; do
  # Directories such as /usr/bin belong to other packages too.
  if [ -e "$path" ] && [ ! -d "$path" ]; then
    echo "left behind: $path"
    left=$((left + 1))
  fi
done < files.txt
for directory in /usr/libexec/tidewash /usr/share/tidewash /usr/share/doc/tidewash; do
  [ -e "$directory" ] && { echo "left behind: $directory"; left=$((left + 1)); }
done
[ "$left" -eq 0 ] || fail "$left paths of the package are left after apt-get purge"
command -v tidewash > /dev/null && fail "tidewash is still on the PATH"
echo "ok: purged, nothing of the package left"
echo "PASS"
