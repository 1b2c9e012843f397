"""Writes a line protocol file into a fresh database of the InfluxDB at URL and prints what a query of
the measurement "vald" gives back (JSON, times in nanoseconds)."""
import json
import sys
import urllib.parse
import urllib.request

url, path, database = sys.argv[1], sys.argv[2], sys.argv[3]


def post(endpoint, data, **query):
    request = urllib.request.Request(url + endpoint + "?" + urllib.parse.urlencode(query), data=data, method="POST")
    with urllib.request.urlopen(request, timeout=30) as reply:
        return reply.read()


post("/query", None, q="CREATE DATABASE " + database)
with open(path, "rb") as lines:
    post("/write", lines.read(), db=database)
answer = json.loads(post("/query", None, db=database, epoch="ns", q="SELECT * FROM vald ORDER BY time"))
print(json.dumps(answer["results"][0]["series"][0]))
