#!/usr/bin/env bash
# scripts/screenshot.sh FOLDER [OUT.png]: starts a fresh copy of the built
# program on FOLDER under Xvfb (1400 × 900), waits until it has read the
# folder, and grabs the screen (default docs/images/main-window.png).
# Needs a dev build, xvfb-run, xwd and GraphicsMagick (scripts/debian-packages.txt).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
folder=$(realpath "${1:?usage: scripts/screenshot.sh FOLDER [OUT.png]}")
shot=$(realpath -m "${2:-docs/images/main-window.png}")
program=$(mktemp -d)
trap 'rm -rf "$program"' EXIT
cp build/Quenderluxium "$program/" && cp -r build/bin "$program/"
cat > "$program/session.sh" <<SESSION
#!/usr/bin/env bash
cd "$program"
./Quenderluxium "$folder" > /dev/null 2>&1 &
pid=\$!
sleep "${WAIT_SECONDS:-5}"
xwd -root -silent | gm convert xwd:- "$shot"
kill -TERM \$pid
wait \$pid || true
SESSION
chmod +x "$program/session.sh"
xvfb-run -a -s "-screen 0 1400x900x24" "$program/session.sh"
echo "$shot"
