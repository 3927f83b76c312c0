#!/bin/bash
# The Windows zip: scripts/release.sh packs tidewash.exe with its soundtrack,
# the licence of the libraries linked into it and the notes. The same parts
# give the same zip; the exe needs no DLL beyond Windows' own (those in the
# Wine prefix's system32); unpacked in a folder of its own, it plays under
# Wine from there (Space, Escape, the "FPS: " line) and leaves the folder as
# it was.
#   release_zip.sh EXE PREFIX MAKE_TONE VERSION DEMO CAPTURE SOUNDTRACK SITE
. "$(dirname "$0")/common.sh"
release_script=$(dirname "$0")/../../scripts/release.sh
version=$4
soundtrack=$7
windows=tidewash-$version-windows-x64

for run in first second; do
  SOURCE_DATE_EPOCH=1700000000 "$release_script" "$version" "$5" "$6" "$soundtrack" "$8" "$run" "$exe" \
    > release.txt 2>&1 || fail "release.sh failed: $(tail -n 5 release.txt)"
done
[ -f "first/$windows.zip" ] || fail "no $windows.zip among: $(ls first)"
cmp -s "first/$windows.zip" "second/$windows.zip" || fail "the same parts gave two different zips"
echo "ok: the same parts give the same zip"

unzip -q "first/$windows.zip" -d unpacked || fail "cannot unpack the zip"
folder=unpacked/$windows
expected=$(printf '%s\n' tidewash.exe Quietfall.MP3 LGPL-2.1.txt README.txt tidewash.nfo FILE_ID.DIZ tidewash.png \
  SHA256SUMS | sort)
[ "$(ls "$folder" | sort)" = "$expected" ] || fail "the zip holds $(ls "$folder" | tr '\n' ' ')"
(cd "$folder" && sha256sum --quiet --strict -c SHA256SUMS) || fail "the checksums in the zip do not hold"
cmp -s "$folder/Quietfall.MP3" "$soundtrack" || fail "the zip's soundtrack is not the built one"
grep -q "Windows 10" "$folder/README.txt" || fail "README.txt does not say what Windows needs"
echo "ok: $windows.zip holds its files, notes and checksums"

dlls=$(x86_64-w64-mingw32-objdump -p "$folder/tidewash.exe" | sed -n 's/^\s*DLL Name: //p')
[ -n "$dlls" ] || fail "objdump finds no DLLs in the exe"
for dll in $dlls; do
  [ -f "$WINEPREFIX/drive_c/windows/system32/${dll,,}" ] || fail "the exe needs $dll, which is not Windows' own"
done
echo "ok: the exe needs only Windows' own DLLs:" $dlls

cd "$folder"
exe=tidewash.exe
demo=$exe
plays_from_unpacked_folder 8 wine
echo "ok: tidewash.exe plays from the unpacked folder under Wine"
echo "PASS"
