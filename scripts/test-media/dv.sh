#!/usr/bin/env bash
# DV fixtures: raw DV and DV AVI files whose frames carry recording dates, made of takes whose
# dates jump, for the recording date decoder and the scene scan.
#
# ffmpeg stamps the recording date and time packs of every frame from -metadata creation_time,
# advancing the stamp by one second every 25 frames; without creation_time it stamps 1970-01-01.
# Frames "without a date" therefore get their date and time packs rewritten (identifier 0xFF);
# frames with an "invalid date" get them zeroed (identifier 0: day 0, month 0).
# Every take is cut to an exact frame count; a fixture is its takes concatenated as raw DV, kept
# raw and/or wrapped in AVI: dvgrab writes type 2 (one "dvsd" video stream + audio) and type 1
# (one interleaved "iavs" stream); the other AVIs are type 2 from ffmpeg (stream copy, "dvsd").
#
# To stay fast, all takes come out of one ffmpeg run and all ffmpeg wraps out of another.
#
# Usage: dv.sh <output folder>. Files that exist are kept.
set -euo pipefail
out=$(realpath -m "${1:?output folder}")
mkdir -p "$out"

work=$(mktemp -d "$out/.dv-work-XXXXXX")
trap 'rm -rf "$work"' EXIT

take_args=()      # ffmpeg output options for every take to make
declare -A parts  # fixture -> its take files, in order
patches=()        # "file fill" for takes whose packs get rewritten
wraps=()          # "fixture target" for AVIs made by stream copy
dvgrab_wraps=()   # "fixture format target" for AVIs made by dvgrab
raws=()           # "fixture target" for raw DV kept as fixtures

missing() {  # true when any of the named fixtures is absent
  local f
  for f in "$@"; do [[ -e "$out/$f" ]] || return 0; done
  return 1
}

# Plans fixture $1 from takes "frames@creation_time", "frames@nodate" or "frames@zeroed".
plan() {
  local name=$1; shift
  local i=0 spec frames stamp part seconds
  parts[$name]=""
  for spec in "$@"; do
    frames=${spec%%@*}
    stamp=${spec#*@}
    part="$work/$name-$i.dv"
    seconds=$(awk -v n="$frames" 'BEGIN { printf "%.2f", n / 25 }')
    case $stamp in
      # Each such part is stamped hours apart first, so only the rewrite can hide the jump.
      nodate) patches+=("$part 255"); stamp="2004-05-01T0$i:30:00" ;;
      zeroed) patches+=("$part 0"); stamp="2004-05-01T0$i:30:00" ;;
    esac
    take_args+=(-map 0:v -map 1:a -t "$seconds" -c:v dvvideo -pix_fmt yuv420p -c:a pcm_s16le
                -f dv -metadata "creation_time=$stamp" "$part")
    parts[$name]+="$part "
    i=$((i + 1))
  done
}

# Rewrites every recording date (0x62) and time (0x63) pack of the video auxiliary blocks
# (blocks 3 to 5 of each 12000-byte DIF sequence: a 3-byte id, then 15 packs of 5 bytes).
patch_packs() {
  local file=$1 fill=$2  # fill: byte repeated over the pack, 255 (no info) or 0
  perl -e '
    my ($file, $fill) = @ARGV;
    open(my $fh, "+<:raw", $file) or die "$file: $!";
    local $/; my $data = <$fh>;
    my $pack = chr($fill) x 5;
    for (my $seq = 0; $seq + 12000 <= length($data); $seq += 12000) {
      for my $block (240, 320, 400) {
        for my $i (0 .. 14) {
          my $at = $seq + $block + 3 + 5 * $i;
          my $id = ord(substr($data, $at, 1));
          substr($data, $at, 5) = $pack if $id == 0x62 || $id == 0x63;
        }
      }
    }
    seek($fh, 0, 0); print $fh $data; close($fh) or die "$file: $!";
  ' "$file" "$fill"
}

place() {  # moves a finished file from the work folder into place
  sync "$1"
  mv -f "$1" "$out/$2"
}

# Wraps raw DV into an AVI with dvgrab (dv1 or dv2). dvgrab numbers its output and takes
# anything after a dot in the name for an extension, so it runs in the work folder with a plain
# relative name. No -size 0: dvgrab then switches to OpenDML and loses the last frames of a
# small file. Reading a file this fast, dvgrab's reader now and then outruns its writer and
# loses frames or never ends: a time limit, a frame count check and a few attempts cover that.
dvgrab_wrap() {
  local rawfile=$1 format=$2 target=$3
  local base="wrap-$format-" want got attempt made
  want=$(($(stat -c %s "$rawfile") / 144000))
  for attempt in 1 2 3 4 5; do
    rm -f "$work/$base"*
    (cd "$work" && timeout 30 dvgrab -stdin -format "$format" "$base" <"$rawfile" >/dev/null 2>&1) ||
      continue
    made=$(find "$work" -maxdepth 1 -name "$base*.avi" | head -n 2)
    [[ -n $made && $made != *$'\n'* && -s $made ]] || continue
    got=$(ffprobe -v error -count_packets -select_streams v:0 \
      -show_entries stream=nb_read_packets -of csv=p=0 "$made" || true)
    if [[ $got == "$want" ]]; then
      place "$made" "$target"
      return 0
    fi
  done
  echo "dvgrab could not wrap $target ($want frames)" >&2
  exit 1
}

# --- The fixtures

# One take of 4 seconds.
if missing dv_one_take.dv dv_one_take.avi; then
  plan dv_one_take 100@2003-12-25T14:30:59
  raws+=("dv_one_take dv_one_take.dv")
  wraps+=("dv_one_take dv_one_take.avi")
fi

# Three takes of different days; scene changes at frames 60 and 135.
if missing dv_takes.dv dv_type2.avi dv_type1.avi; then
  plan dv_takes 60@2004-05-01T10:00:00 75@2004-05-01T11:15:20 50@2004-06-02T09:05:00
  raws+=("dv_takes dv_takes.dv")
  dvgrab_wraps+=("dv_takes dv2 dv_type2.avi" "dv_takes dv1 dv_type1.avi")
fi

# Two takes of 15 frames whose stamps are 1, 2 and 3 seconds apart at frame 15.
for gap in 1 2 3; do
  if missing "dv_${gap}s_apart.dv" "dv_${gap}s_apart.avi"; then
    plan "dv_${gap}s_apart" 15@2004-05-01T10:00:00 "15@2004-05-01T10:00:0${gap}"
    raws+=("dv_${gap}s_apart dv_${gap}s_apart.dv")
    wraps+=("dv_${gap}s_apart dv_${gap}s_apart.avi")
  fi
done

plan_avi() {  # a fixture kept only as a type-2 AVI
  local name=$1
  missing "$name.avi" || return 0
  plan "$@"
  wraps+=("$name $name.avi")
}
# Takes too short to count: a change 12 and 13 frames after the start of the file, and 12 and 13
# frames after a recorded scene start (the start recorded for a change at frame 15 is 16).
plan_avi dv_first12 12@2004-05-01T10:00:00 20@2004-05-01T12:00:00
plan_avi dv_first13 13@2004-05-01T10:00:00 20@2004-05-01T12:00:00
plan_avi dv_after12 15@2004-05-01T10:00:00 13@2004-05-01T12:00:00 15@2004-05-01T14:00:00
plan_avi dv_after13 15@2004-05-01T10:00:00 14@2004-05-01T12:00:00 15@2004-05-01T14:00:00
# No recording dates at all, although the two halves were stamped hours apart.
plan_avi dv_nodate 15@nodate 15@nodate
# A date that disappears half way.
plan_avi dv_date_lost 15@2004-05-01T10:00:00 15@nodate
# Packs that read as day 0 are skipped: the take resumes one second later without a change (read
# as "no date", they would give changes at frames 15 and 30).
plan_avi dv_invalid_date 15@2004-05-01T10:00:00 15@zeroed 15@2004-05-01T10:00:01

[[ ${#take_args[@]} -eq 0 ]] && exit 0

# --- Making them

ffmpeg -hide_banner -loglevel error -nostdin -y \
  -f lavfi -i "testsrc2=size=720x576:rate=25" -f lavfi -i "anullsrc=r=48000:cl=stereo" \
  "${take_args[@]}"

for entry in ${patches[@]+"${patches[@]}"}; do
  patch_packs ${entry}
done

for name in "${!parts[@]}"; do
  # shellcheck disable=SC2086  # the list holds plain work-folder paths
  cat ${parts[$name]} >"$work/$name.dv"
done

copy_args=()
index=0
for entry in ${wraps[@]+"${wraps[@]}"}; do
  read -r name target <<<"$entry"
  copy_args+=(-f dv -i "$work/$name.dv")
done
for entry in ${wraps[@]+"${wraps[@]}"}; do
  read -r name target <<<"$entry"
  copy_args+=(-map "$index" -c copy -f avi "$work/$target")
  index=$((index + 1))
done
if [[ ${#copy_args[@]} -gt 0 ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y "${copy_args[@]}"
  for entry in "${wraps[@]}"; do
    read -r name target <<<"$entry"
    place "$work/$target" "$target"
  done
fi

for entry in ${dvgrab_wraps[@]+"${dvgrab_wraps[@]}"}; do
  read -r name format target <<<"$entry"
  dvgrab_wrap "$work/$name.dv" "$format" "$target"
done

for entry in ${raws[@]+"${raws[@]}"}; do
  read -r name target <<<"$entry"
  place "$work/$name.dv" "$target"
done
