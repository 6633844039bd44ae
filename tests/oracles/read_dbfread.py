"""Prints a table as dbfread sees it, as JSON: live and deleted records in file order."""
import datetime
import json
import sys

from dbfread import DBF


def plain(value):
    if isinstance(value, (datetime.date, datetime.datetime)):
        return value.isoformat()
    if isinstance(value, bytes):
        return value.decode('cp1252')
    return value


def rows(records):
    return [{name: plain(value) for name, value in record.items()} for record in records]


table = DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')
print(json.dumps({
    'fields': [[f.name, f.type, f.length, f.decimal_count] for f in table.fields],
    'live': rows(table),
    'deleted': rows(table.deleted),
}))
