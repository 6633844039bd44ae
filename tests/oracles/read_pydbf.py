"""Prints a FoxPro table as python-dbf sees it, as JSON: structure, count and records."""
import datetime
import json
import sys

import dbf


def plain(value):
    if isinstance(value, (datetime.date, datetime.datetime)):
        return value.isoformat()
    if isinstance(value, str):
        return value.rstrip(' ')
    if value is None or isinstance(value, (bool, int, float)):
        return value
    return str(value)  # python-dbf's own Date/Logical types when a value is blank


table = dbf.Table(sys.argv[1], dbf_type='fp')
table.open(dbf.READ_ONLY)
try:
    print(json.dumps({
        'structure': list(table.structure()),
        'count': len(table),
        'records': [{'deleted': dbf.is_deleted(r),
                     'values': [plain(r[name]) for name in table.field_names]} for r in table],
    }))
finally:
    table.close()
