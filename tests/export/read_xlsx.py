"""Prints the first sheet of an xlsx workbook as JSON rows, each cell typed as the reader sees it; with
--sheets, every sheet by its name."""
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


def rows(sheet):
    return [[cell(value) for value in row] for row in sheet.iter_rows(values_only=True)]


workbook = openpyxl.load_workbook(sys.argv[-1])
if sys.argv[1] == "--sheets":
    print(json.dumps({sheet.title: rows(sheet) for sheet in workbook.worksheets}))
else:
    print(json.dumps(rows(workbook.active)))
