"""Reads every table named on standard input (one .dbf path a line) the way two independent
xBase readers do, dbfread and python-dbf, memos included, and prints one line per refusal:
"<path>\t<reader>\t<error>". Prints nothing when both read every table."""
import sys

import dbf
from dbfread import DBF


def with_dbfread(path):
    table = DBF(path, encoding='cp1252', char_decode_errors='strict')
    for _ in table:
        pass
    for _ in table.deleted:
        pass


def with_python_dbf(path):
    table = dbf.Table(path, dbf_type='fp')
    table.open(dbf.READ_ONLY)
    try:
        for record in table:
            for name in table.field_names:
                record[name]
    finally:
        table.close()


for line in sys.stdin:
    path = line.rstrip('\n')
    if not path:
        continue
    for name, read in (('dbfread', with_dbfread), ('python-dbf', with_python_dbf)):
        try:
            read(path)
        except Exception as error:  # any refusal counts
            print(f'{path}\t{name}\t{type(error).__name__}: {error}'.replace('\n', ' '))
