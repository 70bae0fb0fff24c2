#!/bin/sh
# Makes the three notification sounds with sox (Debian package "sox"): short sine tones
# with soft edges, 22,050 Hz, 16-bit mono. Without dither the output is byte-for-byte the
# same at every run.
#   message.wav  two rising notes, a light chime for a message that arrives
#   request.wav  three rising notes, for a partner who calls or offers a file
#   error.wav    two falling low notes, for a refusal, a lost partner or a failed call
# Usage: tools/sounds/make-sounds.sh [output folder], by default src/media/sounds.
set -eu

out=${1:-$(dirname "$0")/../../src/media/sounds}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# note NAME SECONDS FREQUENCY: a sine with its octave, faded in and out so it does not click.
note() {
    sox -V1 -D -n -r 22050 -b 16 -c 1 "$work/$1.wav" \
        synth "$2" sine "$3" sine "$(($3 * 2))" remix - \
        fade q 0.01 "$2" "$(echo "$2 * 0.6" | bc -l)" gain -n -6
}

# join OUTPUT NOTE...: the notes one after the other.
join() {
    target=$1
    shift
    files=""
    for name in "$@"; do files="$files $work/$name.wav"; done
    # shellcheck disable=SC2086
    sox -V1 -D $files "$out/$target"
}

mkdir -p "$out"
note e6 0.12 1319
note a6 0.22 1760
note c6 0.10 1047
note g6 0.22 1568
note a4 0.16 440
note e4 0.30 330

join message.wav e6 a6
join request.wav c6 e6 g6
join error.wav a4 e4
