#!/bin/bash
# The release archives: scripts/release.sh packs this build's demo and
# soundtrack and the web page of the web build. Each archive is one folder
# named as the archive, with the notes (an .nfo of at most 80 columns, a
# FILE_ID.DIZ of at most 45 columns and 10 lines), a light still of the title
# lettering and checksums that hold for every file. The Linux archive,
# unpacked in a folder of its own, plays with ./tidewash from there (Space,
# Escape, the "FPS: " line), and every library the program needs comes from a
# package its README names; the web archive holds the page as built.
#   release_archives.sh DEMO MAKE_TONE VERSION CAPTURE SOUNDTRACK SITE
. "$(dirname "$0")/common.sh"
release_script=$(dirname "$0")/../../scripts/release.sh
version=$3
capture=$4
soundtrack=$5
site=$6
linux=tidewash-$version-linux-x86_64
web=tidewash-$version-web

"$release_script" "$version" "$demo" "$capture" "$soundtrack" "$site" archives > release.txt 2>&1 ||
  fail "release.sh failed: $(tail -n 5 release.txt)"
[ "$(ls archives)" = "$linux.tar.gz"$'\n'"$web.zip" ] || fail "the archives are: $(ls archives)"

# The files an unpacked archive in folder $1 holds, page files $2..., and
# the notes all archives hold.
check_folder() {  # folder page_files...
  local folder=$1
  shift
  local expected
  expected=$(printf '%s\n' "$@" README.txt tidewash.nfo FILE_ID.DIZ tidewash.png SHA256SUMS | sort)
  [ "$(ls "$folder" | sort)" = "$expected" ] || fail "$folder holds $(ls "$folder" | tr '\n' ' ')"
  (cd "$folder" && sha256sum --quiet --strict -c SHA256SUMS) || fail "the checksums in $folder do not hold"
  [ "$(awk '{print $2}' "$folder/SHA256SUMS" | sort)" = "$(grep -vx SHA256SUMS <<< "$expected")" ] ||
    fail "SHA256SUMS in $folder does not list every other file"
  grep -l "@VERSION@" "$folder"/*.txt "$folder"/*.nfo "$folder"/*.DIZ && fail "a note in $folder lacks its version"
  [ "$(LC_ALL=C wc -L < "$folder/tidewash.nfo")" -le 80 ] || fail "the .nfo is wider than 80 columns"
  [ "$(LC_ALL=C wc -L < "$folder/FILE_ID.DIZ")" -le 45 ] || fail "FILE_ID.DIZ is wider than 45 columns"
  [ "$(wc -l < "$folder/FILE_ID.DIZ")" -le 10 ] || fail "FILE_ID.DIZ has more than 10 lines"
  local still
  still=$(identify -format '%m %wx%h %[fx:mean>0.5]' "$folder/tidewash.png")
  [ "$still" = "PNG 800x600 1" ] || fail "the still is not a light 800x600 PNG: $still"
}

mkdir linux web
tar -xzf "archives/$linux.tar.gz" -C linux || fail "cannot unpack the Linux archive"
[ "$(tar -tzvf "archives/$linux.tar.gz" | awk '{print $2}' | sort -u)" = "0/0" ] ||
  fail "the Linux archive's files are not root's"
check_folder "linux/$linux" tidewash Quietfall.MP3
cmp -s "linux/$linux/Quietfall.MP3" "$soundtrack" || fail "the archive's soundtrack is not the built one"
unzip -q "archives/$web.zip" -d web || fail "cannot unpack the web archive"
check_folder "web/$web" index.html tidewash.js tidewash.wasm Quietfall.MP3
for file in index.html tidewash.js tidewash.wasm Quietfall.MP3; do
  cmp -s "web/$web/$file" "$site/$file" || fail "the web archive's $file is not the built one"
done
for note in README.txt tidewash.nfo FILE_ID.DIZ tidewash.png; do
  cmp -s "linux/$linux/$note" "web/$web/$note" || fail "the two archives' $note differ"
done
echo "ok: $linux.tar.gz and $web.zip hold their files, notes and checksums"

# Each library the program needs, from the package that holds it.
readme=linux/$linux/README.txt
needed=$(readelf -d "linux/$linux/tidewash" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "readelf finds no libraries in the program"
for library in $needed; do
  path=$(ldd "linux/$linux/tidewash" | awk -v name="$library" '$1 == name { print $3 }')
  owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "/usr$path" 2>/dev/null)
  package=${owner%%:*}
  [ -n "$package" ] || fail "no package holds $library ($path)"
  grep -qw -- "$package" "$readme" || fail "README.txt does not name $package, which holds $library"
done
echo "ok: README.txt names the packages of $(wc -w <<< "$needed") libraries"

# Plays from the unpacked folder.
cd "linux/$linux"
demo=./tidewash
plays_from_unpacked_folder 7
echo "ok: ./tidewash plays from the unpacked folder: position $(tail -n 2 "$work/out.txt" | head -n 1), $(tail -n 1 "$work/out.txt")"
echo "PASS"
