"""Reads a class sheet back as a spreadsheet user would get it: the CSV with Python's csv
(";" and decimal comma, UTF-8 with a byte-order mark) and the .ods with odfpy. Prints, as
JSON, the rows of each file: texts as texts, numbers as numbers, empty cells as null."""
import csv
import json
import sys

from odf.opendocument import load
from odf.table import Table, TableCell, TableRow
from odf.namespaces import OFFICENS


def valor_csv(texto, coluna):
    if texto == '':
        return None
    if coluna >= 3:
        return float(texto.replace(',', '.'))
    return texto


def ler_csv(arquivo):
    with open(arquivo, encoding='utf-8-sig', newline='') as f:
        linhas = list(csv.reader(f, delimiter=';'))
    return [linhas[0]] + [[valor_csv(t, i) for i, t in enumerate(l)] for l in linhas[1:]]


def ler_ods(arquivo):
    linhas = []
    for linha in load(arquivo).spreadsheet.getElementsByType(TableRow):
        celulas = []
        for c in linha.getElementsByType(TableCell):
            tipo = c.attributes.get((OFFICENS, 'value-type'))
            if tipo == 'float':
                celulas.append(float(c.attributes[(OFFICENS, 'value')]))
            elif tipo == 'string':
                celulas.append(str(c))
            else:
                celulas.append(None)
        linhas.append(celulas)
    return linhas


print(json.dumps([ler_csv(sys.argv[1]), ler_ods(sys.argv[2])], ensure_ascii=False))
