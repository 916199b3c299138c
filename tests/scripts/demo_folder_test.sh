#!/usr/bin/env bash
# scripts/demo and its output folder, with the build stubbed out: setup and
# cmake only note that they ran and leave what the real ones would, and
# garbolt-sim plays a one-line tour. The demo refuses a folder holding files
# it did not put there, before it builds anything; in a folder it made it
# replaces its own files and keeps the rest.
#   demo_folder_test.sh <source folder>
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

mkdir -p "$work/repo/scripts" "$work/bin" "$work/caller"
cp "$source_dir/scripts/demo" "$work/repo/scripts/demo"
export CALLS="$work/calls"
cat >"$work/repo/scripts/setup" <<'EOF'
#!/bin/sh
echo setup >>"$CALLS"
EOF
cat >"$work/garbolt-sim" <<'EOF'
#!/bin/sh
case "$1" in
  --print-tour) echo "frames 1" ;;
  --json) : >"$2"; : >"$4/frame-000001.png"; echo "  frame 1  notification Stubbed" ;;
esac
EOF
cat >"$work/bin/cmake" <<EOF
#!/bin/sh
echo "cmake \$*" >>"\$CALLS"
case "\$*" in
  *release-zip*) mkdir -p build/windows && echo zip >build/windows/Garbolt-0.0.0-win64.zip ;;
  *garbolt-sim*) mkdir -p build/release/bin && cp "$work/garbolt-sim" build/release/bin/ ;;
esac
EOF
chmod +x "$work/repo/scripts/"* "$work/bin/cmake" "$work/garbolt-sim"
demo() { (cd "$work/caller" && PATH="$work/bin:$PATH" "$work/repo/scripts/demo" "$@"); }

# A folder of the player's: refused with the reason, nothing built, nothing touched.
mkdir "$work/caller/notes"
echo "my notes" >"$work/caller/notes/todo.txt"
if demo notes >"$work/out" 2>"$work/err"; then
  fail "the demo accepted a folder holding the player's files"
fi
grep -q "notes holds files that the demo did not put there" "$work/err" || fail "no reason: $(cat "$work/err")"
[ ! -e "$CALLS" ] || fail "the demo ran $(cat "$CALLS") before refusing"
[ "$(cat "$work/caller/notes/todo.txt")" = "my notes" ] || fail "the player's file changed"
[ "$(ls -A "$work/caller/notes")" = "todo.txt" ] || fail "the demo wrote into the player's folder"

# A new folder, named relative to where the demo was started: made and filled.
demo fresh >"$work/out" 2>"$work/err" || fail "the demo failed in a new folder: $(cat "$work/err")"
for file in transcript.txt tour.jsonl tour.scenario build.log shots/frame-000001.png \
    Garbolt-0.0.0-win64.zip; do
  [ -e "$work/caller/fresh/$file" ] || fail "no $file in the demo's folder"
done
grep -q "Step 4 of 4" "$work/out" || fail "the steps are not counted: $(cat "$work/out")"
grep -q "build/release/bin/garbolt-outfits" "$work/out" || fail "the tools are not named"

# Run again in the folder it made: its own files are replaced, the player's kept.
echo "kept" >"$work/caller/fresh/mine.txt"
: >"$work/caller/fresh/shots/frame-000099.png"
: >"$work/caller/fresh/Garbolt-0.0.0-old-win64.zip"
demo fresh >"$work/out" 2>"$work/err" || fail "the demo failed in its own folder: $(cat "$work/err")"
[ "$(cat "$work/caller/fresh/mine.txt")" = "kept" ] || fail "the player's file in the demo's folder went"
[ ! -e "$work/caller/fresh/shots/frame-000099.png" ] || fail "an old screenshot stayed"
[ ! -e "$work/caller/fresh/Garbolt-0.0.0-old-win64.zip" ] || fail "an old package stayed"
echo "1 passed, 0 failed"
