#!/bin/sh
# The pictures of the documents in docs/: the invoice's first page in each tax mode and the act,
# written by the program's own `--pdf` from a sample journal made here, then rendered at 100 dpi.
# Usage: tools/make_document_shots.sh PATH/TO/printcalc [DOCS_FOLDER]
set -eu
program=$(realpath "$1")
docs=$(realpath "${2:-$(dirname "$0")/../docs}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/config/printcalc"
cat > "$work/config/printcalc/printcalc.ini" <<'INI'
[office]
warmup=false
[counter]
name=стойка-1
[requisites]
name=ООО «Ясный лист»
address=123456, г. Энск, ул. Печатников, д. 1
director=Соколова А. В.
accountant=Ершова Т. П.
inn=7707083893
kpp=770701001
ogrn=1027700132195
bankName=АО «Банк Энска» г. Энск
bik=044525225
settlementAccount=40702810938000012345
corrAccount=30101810400000000225
INI
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen
database="sqlite://$work/shop.sqlite"
# The program makes its tables; the sample invoices are then written as the journal keeps them.
"$program" --journal list --database "$database" >/dev/null 2>&1 || true

invoice() { # number, tax mode, rate
    sqlite3 "$work/shop.sqlite" <<SQL
INSERT INTO invoice (number, order_uid, created, counter, line_count, subtotal, tax, total,
    template_path, is_void, search_text, customer_name, customer_full_name, customer_inn,
    customer_kpp, customer_address, customer_kind, tax_mode, tax_rate, tax_given, tax_stored)
VALUES ($1, 'sample-$1', '2026-12-09 10:30:00', 'стойка-1', 3, 0, 0, 0, '', 0, '',
    'ООО «Ромашка»', 'Общество с ограниченной ответственностью «Ромашка»', '5001007329',
    '500101001', '141001, г. Мытищи, ул. Мира, д. 5', 0, '$2', $3, 1, 1);
INSERT INTO invoice_line (invoice_number, position, description, quantity, unit_price, key_text,
    titles, removal_marker, job, explanation, missing_price, price_version, revision) VALUES
    ($1, 0, 'Визитки 90х50, 4+4, мелованная 300 г/м²', '1000', '1.32', '', '', 0, '', '', 0, 0, 1),
    ($1, 1, 'Листовки А5, 4+0, 130 г/м²', '2500', '3.85', '', '', 0, '', '', 0, 0, 1),
    ($1, 2, 'Плакат А2, 4+0, матовая 200 г/м²', '12', '245.5', '', '', 0, '', '', 0, 0, 1);
SQL
}
invoice 101 on-top 22
invoice 102 included 22
invoice 103 none 0

shot() { # kind, number, picture
    "$program" --pdf "$1" "$2" "$work/$3.pdf" --database "$database" >/dev/null
    pdftoppm -r 100 -f 1 -l 1 -png -singlefile "$work/$3.pdf" "$docs/$3"
    echo "$docs/$3.png"
}
shot invoice 101 pdf-invoice-on-top
shot invoice 102 pdf-invoice-included
shot invoice 103 pdf-invoice-no-tax
shot act 101 pdf-act
