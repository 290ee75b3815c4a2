#!/usr/bin/env python3
"""Writes the sample invoice template templates/invoice.xlsx: sheet "Лист1" with the shop's name
and requisites, the invoice number and date, and the column captions in row 16 over B to F.
The export fills rows 17 on, and the cells named "НомерСчёта", "ДатаСчёта" and "Покупатель" (C9, E9
and C11) when it is given the invoice's number, date and payer; until then they hold blanks to fill
in by hand. The shop's lines at the top are named too: "ShopName" (B2), "ShopAddress" (B3),
"ShopTaxNumbers" (B4), "ShopBank" (B6) and "ShopAccount" (B7); the export writes the shop's
requisites from the settings there, as the PDF invoice prints them, and leaves the sample's texts
below only while the settings describe no shop at all. The cell named "QR" (E2, beside the
requisites and the bank lines) gets the payment QR code as a picture 42 mm square; rows 5 and 8 are
set taller so that it ends above the title. Only the standard library is used, and the zip entries
carry a fixed date, so running it again gives the same bytes.

    python3 tools/make_invoice_template.py [output.xlsx]
"""
import sys
import zipfile
from pathlib import Path
from xml.sax.saxutils import escape

SHEET_NAME = "Лист1"

# Style numbers refer to cellXfs below; MONEY is the default of column F, where the sums go.
PLAIN, BOLD, TITLE, CAPTION, NOTE, MONEY, TITLE_RIGHT, TOP, WRAPPED = 0, 1, 2, 3, 4, 5, 6, 7, 8

# (cell, text, style)
CELLS = [
    ("B2", "Типография «Ясный лист»", TITLE),
    ("B3", "ООО «Ясный лист», 000000, г. Энск, ул. Печатников, д. 1", PLAIN),
    ("B4", "ИНН 0000000000, КПП 000000000, тел. +7 (000) 000-00-00", PLAIN),
    ("B6", "Банк получателя: АО «Банк Энска», БИК 000000000", PLAIN),
    ("B7", "Р/с 00000000000000000000, к/с 00000000000000000000", PLAIN),
    ("B9", "Счёт №", TITLE),
    ("C9", "______", TITLE),
    ("D9", "от", TITLE_RIGHT),
    ("E9", "«____» ____________ 20___ г.", TITLE),
    ("B11", "Плательщик:", TOP),
    ("C11", "____________________________________________", WRAPPED),
    ("B12", "Основание: заказ в типографии", PLAIN),
    ("B14", "Счёт действителен к оплате в течение трёх банковских дней.", NOTE),
    ("B16", "№", CAPTION),
    ("C16", "Наименование", CAPTION),
    ("D16", "Кол-во", CAPTION),
    ("E16", "Цена", CAPTION),
    ("F16", "Сумма", CAPTION),
]

# Cells the export fills by name, where the template has them: the invoice's number, date and
# payer, the payment QR code, and the shop's lines (office/export_request.h names them all).
NAMES = {"НомерСчёта": "C9", "ДатаСчёта": "E9", "Покупатель": "C11", "QR": "E2",
         "ShopName": "B2", "ShopAddress": "B3", "ShopTaxNumbers": "B4", "ShopBank": "B6",
         "ShopAccount": "B7"}

# Column widths in characters and column styles: A is a margin, C takes the long descriptions.
# B is wide enough for "Счёт №" in the title's size and for "Плательщик:"; the payer wraps in C.
COLUMNS = {"A": (2, PLAIN), "B": (12, PLAIN), "C": (48, PLAIN), "D": (11, PLAIN),
           "E": (13, PLAIN), "F": (16, MONEY)}

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>
</Types>
"""

ROOT_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>
"""

WORKBOOK = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="{name}" sheetId="1" r:id="rId1"/></sheets>
<definedNames>{names}</definedNames>
</workbook>
"""

WORKBOOK_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>
</Relationships>
"""

STYLES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<fonts count="4">
<font><sz val="11"/><name val="Liberation Sans"/></font>
<font><b/><sz val="11"/><name val="Liberation Sans"/></font>
<font><b/><sz val="14"/><name val="Liberation Sans"/></font>
<font><i/><sz val="10"/><color rgb="FF555555"/><name val="Liberation Sans"/></font>
</fonts>
<fills count="3">
<fill><patternFill patternType="none"/></fill>
<fill><patternFill patternType="gray125"/></fill>
<fill><patternFill patternType="solid"><fgColor rgb="FFE4E4E4"/><bgColor indexed="64"/></patternFill></fill>
</fills>
<borders count="2">
<border><left/><right/><top/><bottom/><diagonal/></border>
<border><left style="thin"><color auto="1"/></left><right style="thin"><color auto="1"/></right><top style="thin"><color auto="1"/></top><bottom style="thin"><color auto="1"/></bottom><diagonal/></border>
</borders>
<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>
<cellXfs count="9">
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>
<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/>
<xf numFmtId="0" fontId="2" fillId="0" borderId="0" xfId="0" applyFont="1"/>
<xf numFmtId="0" fontId="1" fillId="2" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center" vertical="center" wrapText="1"/></xf>
<xf numFmtId="0" fontId="3" fillId="0" borderId="0" xfId="0" applyFont="1"/>
<xf numFmtId="4" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="0" fontId="2" fillId="0" borderId="0" xfId="0" applyFont="1" applyAlignment="1"><alignment horizontal="right"/></xf>
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1"><alignment vertical="top"/></xf>
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1"><alignment vertical="top" wrapText="1"/></xf>
</cellXfs>
<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>
</styleSheet>
"""


def row_of(cell):
    return int("".join(ch for ch in cell if ch.isdigit()))


def sheet_xml():
    rows = {number: [] for number in (5, 8)}
    for cell, text, style in CELLS:
        rows.setdefault(row_of(cell), []).append(
            f'<c r="{cell}" s="{style}" t="inlineStr"><is><t>{escape(text)}</t></is></c>')
    columns = "".join(
        f'<col min="{ord(letter) - 64}" max="{ord(letter) - 64}" width="{width}" style="{style}"'
        ' customWidth="1"/>'
        for letter, (width, style) in COLUMNS.items())
    # The shop's name, the invoice title and the column captions are set larger than the rest.
    # The empty rows 5 and 8 make room for the QR code from row 2 down to row 8.
    heights = {2: 24, 5: 24, 8: 24, 9: 24, 16: 22}
    body = "".join(
        f'<row r="{number}"'
        + (f' ht="{heights[number]}" customHeight="1"' if number in heights else "")
        + ">" + "".join(cells) + "</row>"
        for number, cells in sorted(rows.items()))
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
            # Printed one page wide: the sums and the QR code stay on the page with the lines.
            '<sheetPr><pageSetUpPr fitToPage="1"/></sheetPr>'
            f'<cols>{columns}</cols><sheetData>{body}</sheetData>'
            '<pageMargins left="0.7" right="0.5" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>'
            '<pageSetup paperSize="9" orientation="portrait" fitToWidth="1" fitToHeight="0"/>'
            '</worksheet>\n')


def defined_names():
    def absolute(cell):
        letters = "".join(ch for ch in cell if ch.isalpha())
        return f"${letters}${row_of(cell)}"
    return "".join(f'<definedName name="{name}">\'{SHEET_NAME}\'!{absolute(cell)}</definedName>'
                   for name, cell in NAMES.items())


def write(path):
    parts = [
        ("[Content_Types].xml", CONTENT_TYPES),
        ("_rels/.rels", ROOT_RELS),
        ("xl/workbook.xml", WORKBOOK.format(name=SHEET_NAME, names=defined_names())),
        ("xl/_rels/workbook.xml.rels", WORKBOOK_RELS),
        ("xl/styles.xml", STYLES),
        ("xl/worksheets/sheet1.xml", sheet_xml()),
    ]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, text in parts:
            entry = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
            entry.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(entry, text.encode("utf-8"))


if __name__ == "__main__":
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "templates" / "invoice.xlsx"
    write(target)
    print(f"written: {target}")
