"""Prints the first sheet of an xlsx workbook as JSON rows, each cell typed as the reader sees it."""
import datetime
import json
import sys

import openpyxl


def cell(value):
    if isinstance(value, datetime.datetime):
        return {"date": value.isoformat()}
    if isinstance(value, (int, float)) and not isinstance(value, bool):
        return {"number": value}
    return value


sheet = openpyxl.load_workbook(sys.argv[1]).active
print(json.dumps([[cell(value) for value in row] for row in sheet.iter_rows(values_only=True)]))
