# shellcheck shell=bash
# Shell functions shared by the disc generators (make-test-disc, make-corpus-disc, make-angle-disc);
# they source it.
#
# Before the menu functions are used the caller sets:
#   W, H                  picture size (720x576 PAL, 720x480 NTSC)
#   VIDEO_FORMAT          PAL or NTSC (also read by dvdauthor and spumux)
#   menu_rate             menu frame rate as ffmpeg writes it (25 or 30000/1001)
#   menu_video, menu_audio ffmpeg encoder options for the menu stills
# and calls disc_setup, which checks the tools, finds the font and makes the work folder.

disc_prog=${0##*/}

# Bit-exact flags keep encoder version strings out of the streams so the bytes do not drift.
ffmpeg_common=(-hide_banner -loglevel error -nostdin -y -fflags +bitexact)

disc_cleanup() {
    # A failure while the titles encode in the background must not leave them writing on.
    local job
    for job in $(jobs -p); do kill "$job" 2>/dev/null || true; done
    wait 2>/dev/null || true
    # TESTDISC_KEEP_WORK=1 keeps the intermediate files for a look at what went wrong.
    if [ -z "${TESTDISC_KEEP_WORK:-}" ]; then
        rm -rf "$work"
    else
        echo "$disc_prog: intermediate files in $work" >&2
    fi
}

# Sets font and work, and removes work on exit.
disc_setup() {
    local tool
    for tool in ffmpeg convert spumux dvdauthor; do
        command -v "$tool" >/dev/null || { echo "$disc_prog: $tool not found" >&2; exit 1; }
    done

    font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
    if [ ! -f "$font" ]; then
        font=$(fc-match -f '%{file}' 'DejaVu Sans:bold' 2>/dev/null || true)
    fi
    if [ -z "$font" ] || [ ! -f "$font" ]; then
        echo "$disc_prog: no TrueType font found (install fonts-dejavu-core)" >&2
        exit 1
    fi

    work=$(mktemp -d "${TMPDIR:-/tmp}/testdisc.XXXXXX")
    trap disc_cleanup EXIT
}

# Button geometry is shared by the background (label boxes) and the highlight masks.
# Each button: "name|x0|y0|x1|y1|label|command"
button_field() { local f; IFS='|' read -r -a f <<<"$1"; echo "${f[$2]}"; }
btn() { echo "$1|$2|${4%|*}|$3|${4#*|}|$5|$6"; }  # name x0 x1 row("y0|y1") label command

# menu file name, big caption, background colour, buttons...
# shellcheck disable=SC2154  # menu_rate, menu_video and menu_audio come from the sourcing script
make_menu() {
    local name=$1 caption=$2 colour=$3
    shift 3
    local draw=(-fill '#2c4f86' -stroke '#c8d4e8' -strokewidth 2)
    local labels=() frames=() xml="" b x0 y0 x1 y1 label cx cy
    for b in "$@"; do
        x0=$(button_field "$b" 1); y0=$(button_field "$b" 2)
        x1=$(button_field "$b" 3); y1=$(button_field "$b" 4)
        label=$(button_field "$b" 5)
        draw+=(-draw "rectangle $x0,$y0 $x1,$y1")
        cx=$(((x0 + x1) / 2 - W / 2)); cy=$(((y0 + y1) / 2 - H / 2))
        labels+=(-annotate "$(printf '%+d%+d' "$cx" "$cy")" "$label")
        # The frame stays inside the button area: a DVD player recolours only pixels within it.
        frames+=(-draw "rectangle $((x0 + 4)),$((y0 + 4)) $((x1 - 4)),$((y1 - 4))")
        xml+="   <button name=\"$(button_field "$b" 0)\" x0=\"$x0\" y0=\"$y0\" x1=\"$x1\" y1=\"$y1\"/>"$'\n'
    done

    convert -size "${W}x${H}" "xc:$colour" "${draw[@]}" \
        -stroke none -fill white -font "$font" -gravity north -pointsize 56 -annotate +0+60 "$caption" \
        -gravity center -pointsize 26 "${labels[@]}" "$work/$name-bg.png"
    convert -size "${W}x${H}" xc:none "$work/$name-normal.png"
    convert -size "${W}x${H}" xc:none +antialias -fill none -stroke '#ffff00' -strokewidth 6 "${frames[@]}" \
        "$work/$name-highlight.png"
    convert -size "${W}x${H}" xc:none +antialias -fill none -stroke '#ff2020' -strokewidth 6 "${frames[@]}" \
        "$work/$name-select.png"

    # One second of the picture with silence; the menu cell then holds its last frame for good.
    ffmpeg "${ffmpeg_common[@]}" -loop 1 -framerate "$menu_rate" -i "$work/$name-bg.png" \
        -f lavfi -i anullsrc=r=48000:cl=stereo -t 1 -map 0:v -map 1:a \
        "${menu_video[@]}" "${menu_audio[@]}" "$work/$name.mpg"

    cat >"$work/$name.xml" <<EOF
<subpictures format="$VIDEO_FORMAT">
 <stream>
  <spu start="00:00:00.00" force="yes" image="$work/$name-normal.png"
       highlight="$work/$name-highlight.png" select="$work/$name-select.png">
$xml  </spu>
 </stream>
</subpictures>
EOF
    spumux -s 0 "$work/$name.xml" <"$work/$name.mpg" >"$work/$name-spu.mpg" 2>"$work/$name-spumux.log" || {
        cat "$work/$name-spumux.log" >&2
        exit 1
    }
}

# <button> lines of dvdauthor for the buttons given
button_commands() {
    local b
    for b in "$@"; do
        echo "      <button name=\"$(button_field "$b" 0)\">$(button_field "$b" 6)</button>"
    done
}

# A menu that stays up: entry (may be empty), file made by make_menu, buttons...
menu_pgc() {
    local attr="" file=$2
    [ -z "$1" ] || attr=" entry=\"$1\""
    shift 2
    cat <<EOF
    <pgc$attr>
      <vob file="$work/$file-spu.mpg" pause="inf"/>
$(button_commands "$@")
    </pgc>
EOF
}

# Runs dvdauthor on the XML file given, writing OUTDIR/VIDEO_TS afresh.
run_dvdauthor() {
    local out=$1 xml=$2
    mkdir -p "$out"
    rm -rf "$out/VIDEO_TS" "$out/AUDIO_TS"
    dvdauthor -o "$out" -x "$xml" >"$work/dvdauthor.log" 2>&1 || {
        cat "$work/dvdauthor.log" >&2
        exit 1
    }
}
