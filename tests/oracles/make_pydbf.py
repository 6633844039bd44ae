"""Writes a FoxPro table with memo using python-dbf and prints, as JSON, what it wrote."""
import json
import sys

import dbf

ROWS = [
    ('JOÃO DA SILVA', 12, 'Observação com acentuação: é, ç, ã.\r\nSegunda linha.', False),
    ('MARIA', -3, '', True),
    ('ZÉ', 0, 'Memo longo: ' + 'palavra ' * 60, False),
    ('ANA “ASPAS”', 99999, '€uro — travessão', False),
    ('', 7, 'sem nome', False),
]

table = dbf.Table(sys.argv[1], 'name C(20); n N(5,0); obs M', dbf_type='fp', codepage='cp1252')
table.open(dbf.READ_WRITE)
for name, n, obs, _ in ROWS:
    table.append((name, n, obs))
for record, row in zip(table, ROWS):
    if row[3]:
        dbf.delete(record)
table.close()
print(json.dumps([{'name': r[0], 'n': r[1], 'obs': r[2], 'deleted': r[3]} for r in ROWS]))
