#!/bin/bash
# Plays the whole schedule with the real soundtrack and checks what a viewer
# sees in each scene, from screenshots of the real window. The demo then ends
# by itself with the frame rate.
. "$(dirname "$0")/common.sh"
soundtrack=$3
shots=${4:-$work}
mkdir -p "$shots"

cp "$soundtrack" Quietfall.MP3 || fail "no soundtrack at $soundtrack"

# Mean colour of a region as "r g b", 0 to 255.
region_colour() {  # file width height x y
  convert "$1" -crop "$2x$3+$4+$5" +repage -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info:
}
darkest() { convert "$1" -format '%[fx:int(255*minima)]' info:; }
brightest() { convert "$1" -format '%[fx:int(255*maxima)]' info:; }

# The show takes two minutes whatever the frame rate, and the demo draws as
# fast as it can: at a lower priority it leaves the cores to the tests that
# run beside it and still draws every scene.
nice -n 10 "$demo" > out.txt 2> err.txt &
pid=$!
window=$(demo_window)
[ -n "$window" ] || fail "no demo window appeared"
started=$(date +%s%N)

# Takes a screenshot once the demo has run `seconds`.
shot_at() {  # seconds name
  local due=$(( started + $1 * 1000000000 ))
  local now=$(date +%s%N)
  [ "$now" -lt "$due" ] && sleep "$(echo "($due - $now) / 1000000000" | bc -l)"
  import -window root "$shots/$2.png" || fail "cannot take the $2 screenshot"
}

shot_at 5 particles
shot_at 23 title_logo
shot_at 50 picture
shot_at 85 tunnel
shot_at 110 closing

timeout 60 tail --pid="$pid" -f /dev/null
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
[ "$(wc -l < out.txt)" -eq 1 ] || fail "expected only the FPS line"
[[ "$(cat out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "the output is not 'FPS: ' and digits"

# The particle cloud: bright dots on black.
read -r r g b <<< "$(region_colour "$shots/particles.png" 800 600 0 0)"
[ "$r" -lt 60 ] || fail "particles: the screen is not mostly dark ($r $g $b)"
[ "$(brightest "$shots/particles.png")" -gt 200 ] || fail "particles: no bright dots"

# The second title run: black background, the green logo around its centre.
read -r r g b <<< "$(region_colour "$shots/title_logo.png" 20 20 0 0)"
[ "$r$g$b" = "000" ] || fail "title: the background is not black ($r $g $b)"
read -r r g b <<< "$(region_colour "$shots/title_logo.png" 60 60 440 280)"
[ "$g" -gt 60 ] && [ "$g" -gt "$r" ] || fail "title: no green logo in the middle ($r $g $b)"

# The title picture fills the screen: cream, with the blue logo lower right.
read -r r g b <<< "$(region_colour "$shots/picture.png" 800 600 0 0)"
[ "$r" -gt 200 ] && [ "$g" -gt 200 ] && [ "$b" -gt 150 ] && [ "$b" -lt "$r" ] ||
  fail "picture: the screen is not the cream title picture ($r $g $b)"
read -r r g b <<< "$(region_colour "$shots/picture.png" 60 60 610 470)"
[ "$b" -gt "$r" ] && [ "$b" -gt "$g" ] || fail "picture: no blue logo in the lower right ($r $g $b)"

# The tunnel: a tinted tube whose open far end shows white.
read -r r g b <<< "$(region_colour "$shots/tunnel.png" 6 6 397 297)"
[ "$r$g$b" = "255255255" ] || fail "tunnel: the far end is not white ($r $g $b)"
read -r r g b <<< "$(region_colour "$shots/tunnel.png" 800 600 0 0)"
[ "$r" -lt 200 ] || fail "tunnel: no tube on the screen ($r $g $b)"

# The closing scene: white, every pixel.
[ "$(darkest "$shots/closing.png")" -eq 255 ] || fail "closing: the screen is not all white"
echo "PASS"
