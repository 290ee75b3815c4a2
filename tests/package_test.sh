#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, unpacks it and checks that everything
# a counter PC needs is in place, then starts the unpacked program and waits for its window.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build_dir" && cpack -G DEB -B "$work/out" >/dev/null) || fail "cpack could not build the package"
deb=$(ls "$work"/out/printcalc_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no printcalc_<version>_amd64.deb was made"
dpkg-deb -x "$deb" "$work/root"

for file in usr/bin/printcalc \
            usr/share/applications/printcalc.desktop \
            usr/share/icons/hicolor/scalable/apps/printcalc.svg \
            usr/share/icons/hicolor/48x48/apps/printcalc.png \
            usr/share/icons/hicolor/256x256/apps/printcalc.png \
            usr/share/printcalc/invoice.xlsx \
            usr/share/printcalc/guide/index.html \
            usr/share/doc/printcalc/copyright; do
    [ -e "$work/root/$file" ] || fail "$file is missing from the package"
done
[ -x "$work/root/usr/bin/printcalc" ] || fail "the program is not executable"
# The guide F1 opens shows only pictures the package holds.
guide="$work/root/usr/share/printcalc/guide"
pictures=$(grep -o '<img [^>]*src="[^"]*"' "$guide/index.html" | sed 's/.*src="\([^"]*\)"/\1/')
[ -n "$pictures" ] || fail "the guide shows no pictures"
for picture in $pictures; do
    [ -f "$guide/$picture" ] || fail "the guide's picture $picture is missing from the package"
done
grep -qx 'Icon=printcalc' "$work/root/usr/share/applications/printcalc.desktop" \
    || fail "the desktop entry does not name the icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$work/root/usr/share/applications/printcalc.desktop" \
        || fail "the desktop entry is not valid"
fi

# The website's service: its program, its unit and its settings, listed as the package holds them.
contents=$(dpkg-deb -c "$deb" | awk '{print $1, $NF}')
for entry in '-rwxr-xr-x ./usr/bin/printcalc-web' \
             '-rw-r--r-- ./usr/lib/systemd/system/printcalc-web.service' \
             '-rw-r--r-- ./etc/printcalc/web.ini'; do
    grep -qxF -- "$entry" <<<"$contents" || fail "the package does not hold $entry"
done
# Not enabled by installing: no link into a target's wants, no script that enables it.
! grep -q 'wants/' <<<"$contents" || fail "the package enables a unit by a link"
dpkg-deb -e "$deb" "$work/control"
[ "$(cat "$work/control/conffiles")" = /etc/printcalc/web.ini ] \
    || fail "web.ini is not kept as a configuration file"
for script in postinst preinst; do
    [ ! -e "$work/control/$script" ] || ! grep -q 'enable' "$work/control/$script" \
        || fail "the $script script enables the service"
done
unit="$work/root/usr/lib/systemd/system/printcalc-web.service"
for line in 'DynamicUser=yes' 'ExecStart=/usr/bin/printcalc-web --config /etc/printcalc/web.ini' \
            'StateDirectory=printcalc-web' 'WantedBy=multi-user.target'; do
    grep -qxF "$line" "$unit" || fail "the unit lacks $line"
done
grep -qx 'listen=127.0.0.1:8080' "$work/root/etc/printcalc/web.ini" \
    || fail "web.ini does not listen on the loopback"
if command -v systemd-analyze >/dev/null; then
    # Verified where it was unpacked: the same unit, its program at the unpacked path.
    mkdir -p "$work/unit"
    sed "s|ExecStart=/usr/bin/|ExecStart=$work/root/usr/bin/|" "$unit" >"$work/unit/printcalc-web.service"
    verify=$(systemd-analyze verify --man=no "$work/unit/printcalc-web.service" 2>&1) \
        || { echo "$verify"; fail "the unit is not valid"; }
    [ -z "$verify" ] || { echo "$verify"; fail "systemd-analyze warns about the unit"; }
fi
# The unpacked service answers with the packaged settings' defaults.
port=$((20000 + RANDOM % 20000))
XDG_DATA_HOME="$work/web-data" XDG_CONFIG_HOME="$work/web-config" \
    "$work/root/usr/bin/printcalc-web" --config "$work/root/etc/printcalc/web.ini" \
    --listen "127.0.0.1:$port" >"$work/web.log" 2>&1 &
web=$!
health=
for _ in $(seq 1 50); do
    health=$(curl -sf "http://127.0.0.1:$port/healthz" 2>/dev/null) && break
    sleep 0.1
done
kill $web; wait $web 2>/dev/null || true
[ "$health" = '{"database":true,"version":0}' ] || { cat "$work/web.log"; fail "the unpacked service answered '$health'"; }

# The versions told agree: the package's with the program's, and the README's schema with the one
# the program makes.
package_version=$(dpkg-deb -f "$deb" Version)
program_version=$("$work/root/usr/bin/printcalc" --version | awk '{print $2}')
[ "$package_version" = "$program_version" ] \
    || fail "the package says $package_version, the program $program_version"
XDG_DATA_HOME="$work/v-data" XDG_CONFIG_HOME="$work/v-config" \
    "$work/root/usr/bin/printcalc" --prices list --database "sqlite://$work/v.sqlite" >/dev/null \
    || fail "the unpacked program made no database"
schema=$(XDG_DATA_HOME="$work/v-data" XDG_CONFIG_HOME="$work/v-config" \
    "$work/root/usr/bin/printcalc" --check --database "sqlite://$work/v.sqlite" \
    | sed -n 's/^Версия схемы: \([0-9]*\).*/\1/p')
readme=$(sed -n 's/^### Schema (version \([0-9]*\))$/\1/p' "$(dirname "$0")/../README.md")
[ -n "$schema" ] && [ "$schema" = "$readme" ] \
    || fail "the README names schema version '$readme', the program makes '$schema'"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *libqt5widgets5* ]] || fail "the dependencies do not name Qt 5 widgets"
[[ $depends == *libreoffice-calc* ]] || fail "the dependencies do not name LibreOffice Calc"
# The invoice opens in Russian: the office's own Russian language pack.
[[ $depends == *libreoffice-l10n-ru* ]] \
    || fail "the dependencies do not name LibreOffice's Russian language pack"
# The PDF invoice and printing: Qt Print Support, the font the PDF embeds, Qt's Russian dialogs.
for needed in libqt5printsupport5 fonts-dejavu-core qttranslations5-l10n; do
    [[ $depends == *$needed* ]] || fail "the dependencies do not name $needed"
done

# The unpacked program must come up with its window.
log="$work/run.log"
if command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null; then
    # `./run test` sets the offscreen platform for the suites; this check needs the X server.
    env -u QT_QPA_PLATFORM xvfb-run -a -n 220 bash -c '
        "$1" & app=$!
        for _ in $(seq 1 50); do
            xwininfo -root -tree | grep -q "\"MainWindow\"" && { kill $app; exit 0; }
            kill -0 $app 2>/dev/null || exit 2
            sleep 0.2
        done
        kill $app; exit 3' _ "$work/root/usr/bin/printcalc" >"$log" 2>&1 \
        || { cat "$log"; fail "the unpacked program showed no window"; }
else
    status=0
    QT_QPA_PLATFORM=offscreen timeout 3 "$work/root/usr/bin/printcalc" >"$log" 2>&1 || status=$?
    [ "$status" -eq 124 ] || { cat "$log"; fail "the unpacked program stopped with $status"; }
fi
[[ $(dpkg-deb -f "$deb" Depends) == *libqt5sql5-sqlite* ]] \
    || fail "the dependencies do not name Qt's SQLite driver"
[[ $(dpkg-deb -f "$deb" Recommends) == *libqt5sql5-psql* ]] \
    || fail "the package does not recommend Qt's PostgreSQL driver"

# With a fresh home, a line appended with "Ответ" is in the counter's file, even after kill -9.
home="$work/home"
mkdir -p "$home"
command -v xdotool >/dev/null || fail "xdotool is missing (./run installs it)"
env -u QT_QPA_PLATFORM -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u PRINTCALC_DATABASE HOME="$home" \
    xvfb-run -a -n 240 -s '-screen 0 1366x900x24' bash -c '
        "$1" & app=$!
        for _ in $(seq 1 50); do
            id=$(xdotool search --name "^MainWindow$" 2>/dev/null | head -n 1)
            [ -n "$id" ] && break
            sleep 0.2
        done
        [ -n "$id" ] || { kill $app; exit 3; }
        sleep 0.5
        # "Ответ" of the sheet products page, where the form puts it.
        xdotool mousemove --window "$id" 1221 451 click 1
        sleep 1
        kill -9 $app' _ "$work/root/usr/bin/printcalc" >"$log" 2>&1 \
    || { cat "$log"; fail "the unpacked program could not be driven"; }
check=$(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u PRINTCALC_DATABASE HOME="$home" \
    "$work/root/usr/bin/printcalc" --check 2>&1) || { echo "$check"; fail "printcalc --check failed"; }
echo "$check"
grep -qx 'Незавершённых заказов: 1' <<<"$check" \
    || fail "the appended line was not stored in $home/.local/share/printcalc/printcalc.sqlite"
echo "package ok: $(basename "$deb")"
