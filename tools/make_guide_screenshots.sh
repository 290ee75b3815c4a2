#!/usr/bin/env bash
# The staff guide's pictures (guide/images/), taken from the real window: the built program on a
# virtual screen of 1366×768 with a throwaway home and settings, driven with xdotool as an
# operator would (a shift opened, two lines priced, a customer's card, an order taken, a request
# from the website, the board, the X report, the settings and the price list), each picture
# reduced to 256 colours without dithering (a quarter of the size).
# Usage: tools/make_guide_screenshots.sh [BUILD_FOLDER] [IMAGES_FOLDER]
# Needs xvfb, xauth, xdotool, imagemagick and curl; the window's coordinates are the form's.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$here/build}")
images=$(realpath -m "${2:-$here/guide/images}")

if [ "${GUIDE_SHOTS_INSIDE:-}" != 1 ]; then
    exec env GUIDE_SHOTS_INSIDE=1 xvfb-run -a -s '-screen 0 1366x768x24' "$0" "$build" "$images"
fi

work=$(mktemp -d)
app= web=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$web" ] && kill "$web" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/config/printcalc" "$work/data" "$work/runtime" "$images"
chmod 700 "$work/runtime"
cat >"$work/config/printcalc/printcalc.ini" <<'INI'
[office]
warmup=false
[counter]
name=Стойка 1
[requisites]
name=ООО «Ясный лист»
address=123456, г. Энск, ул. Печатников, д. 1
director=Соколова А. В.
accountant=Ершова Т. П.
hours=пн–пт 9:00–19:00, сб 10:00–16:00
inn=7707083893
kpp=770701001
ogrn=1027700132195
bankName=АО «Банк Энска» г. Энск
bik=044525225
settlementAccount=40702810938000012345
corrAccount=30101810400000000225
[documents]
pdfFolder=~/Счета
INI
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8
unset QT_QPA_PLATFORM

# The window whose title starts so, once it is there.
window() {
    local id
    for _ in $(seq 1 50); do
        id=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | tail -n 1) && [ -n "$id" ] \
            && { echo "$id"; return; }
        sleep 0.2
    done
    echo "no window \"$1\" appeared" >&2
    exit 1
}
# A click at a point of a window.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.4; }
# Typed slowly enough for every Cyrillic letter to arrive.
type_text() { xdotool type --delay 80 "$1"; sleep 0.3; }
shot() {
    sleep 0.8
    import -window "$1" "$work/shot.png"
    convert "$work/shot.png" -strip +dither -colors 256 -define png:compression-level=9 \
        "PNG8:$images/$2"
    echo "written: $images/$2"
}

"$build/printcalc" >"$work/printcalc.log" 2>&1 &
app=$!
main=$(window MainWindow)
xdotool windowsize "$main" 1366 768
sleep 1

# The shift opened with 3000 in the drawer, so that the prepayment below may be cash.
click "$main" 893 16
shift_window=$(window 'Смена')
type_text 3000
click "$shift_window" 67 108
xdotool key Escape

# Sheet products: A4 4+4 matte 350, 100 pieces; business cards 4+4 matte 300, 200 pieces.
for option in '41 138' '264 172' '431 138' '264 362'; do click "$main" $option; done
click "$main" 1120 439
xdotool key ctrl+a
type_text 100
xdotool key Return
for option in '41 206' '264 328'; do click "$main" $option; done
click "$main" 1120 439
xdotool key ctrl+a
type_text 200
xdotool key Return

# A new customer's card from the name typed into "Клиент".
click "$main" 1231 733
type_text 'ООО Ромашка'
click "$main" 1344 733
card=$(window 'Новый клиент')
click "$card" 313 219
type_text '+7 912 345-67-89'
click "$card" 714 23
type_text 'zakaz@romashka.example'
click "$card" 714 51
type_text 'Анна Петрова'
shot "$card" customer-card.png
click "$card" 634 536
shot "$main" main-window.png

# The order taken with 5000 in cash and a note for production.
click "$main" 1174 548
# The lines are priced from the sample: kept as they are ("Оставить").
sleep 1
xdotool key shift+Tab space
sleep 1
accept=$(window 'Принять заказ')
click "$accept" 210 212
xdotool key ctrl+a
type_text 5000
click "$accept" 290 286
type_text 'Визитки упаковать по 100 шт.'
shot "$accept" accept-order.png
click "$accept" 316 356
sleep 1

# A request from the website's page, through the quoting service on the same database.
port=$((20000 + RANDOM % 20000))
"$build/printcalc-web" --listen "127.0.0.1:$port" \
    --database "sqlite://$work/data/printcalc/printcalc.sqlite" >"$work/web.log" 2>&1 &
web=$!
for _ in $(seq 1 50); do curl -sf "http://127.0.0.1:$port/healthz" >/dev/null && break; sleep 0.1; done
curl -sf -X POST -H 'Content-Type: application/json' "http://127.0.0.1:$port/api/v1/requests" \
    -d '{"contact": {"name": "Иван Соколов", "phone": "+7 900 111-22-33", "email": ""},
         "jobs": [{"page": "sheet_products", "options": ["radioButton_3", "radioButton_28"],
                   "fields": {"lineEdit": 100}}],
         "comment": "Заберу после обеда", "due": "2026-12-15"}' >/dev/null
kill "$web"
wait "$web" 2>/dev/null || true
web=


# The board: the request and the order, the order moved on by F2.
click "$main" 977 16
board=$(window 'Заказы')
click "$board" 300 101
xdotool key F2
shot "$board" orders-board.png
xdotool key Escape

# The X report of the open shift.
click "$main" 893 16
shift_window=$(window 'Смена')
click "$shift_window" 341 108
shot "$shift_window" shift.png
xdotool key Escape

click "$main" 1230 16
shot "$(window 'Настройки')" settings.png
xdotool key Escape

click "$main" 806 16
prices=$(window 'Прайс-лист')
click "$prices" 657 61
type_text 'А4 матовая 350'
shot "$prices" price-list.png
xdotool key Escape
