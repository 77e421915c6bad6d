#!/usr/bin/python3
"""Reads the deadlines' calendar file with Debian's python3-icalendar, an
independent reader, and checks the events, their alarms and the file's form
(CR LF, lines of at most 75 octets)."""
import datetime
import os
import subprocess
import sys
import tempfile

import icalendar


def main(writer):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "Vertragsfristen.ics")
        subprocess.run([writer, path], check=True)
        with open(path, "rb") as f:
            raw = f.read()

    lines = raw.split(b"\r\n")
    assert lines[-1] == b"", "the file ends with CR LF"
    assert b"\n" not in b"".join(lines), "every line ends with CR LF"
    for line in lines:
        assert len(line) <= 75, "line longer than 75 octets: %r" % line
    assert any(l.startswith(b" ") for l in lines), "the long summary is folded"

    cal = icalendar.Calendar.from_ical(raw)
    assert str(cal["VERSION"]) == "2.0"
    assert "PRODID" in cal
    events = cal.walk("VEVENT")
    expected = [
        (datetime.date(2027, 1, 31), "Stromvertrag: Preisgarantie endet"),
        (datetime.date(2027, 2, 28), "Stromvertrag: letzter Tag zum Kündigen zum 31.03.2027"),
        (datetime.date(2027, 6, 30), "Stromvertrag: Bonuszeitraum endet"),
        (datetime.date(2027, 12, 31),
         "Neukundenbonus der Stadtwerke Süd; ein Komma, ein Backslash \\ und "
         "Umlaute äöü über die Länge einer Zeile hinaus"),
    ]
    assert len(events) == len(expected), len(events)
    uids = set()
    for event, (day, summary) in zip(events, expected):
        start = event.decoded("DTSTART")
        assert type(start) is datetime.date, "all-day event: %r" % start
        assert start == day, (start, day)
        assert event.decoded("DTEND") == day + datetime.timedelta(days=1)
        assert str(event["SUMMARY"]) == summary, str(event["SUMMARY"])
        assert event.decoded("DTSTAMP") == datetime.datetime(
            2026, 12, 10, 7, 30, tzinfo=datetime.timezone.utc).astimezone(
                event.decoded("DTSTAMP").tzinfo)
        uids.add(str(event["UID"]))
        alarms = event.walk("VALARM")
        assert len(alarms) == 1
        assert str(alarms[0]["ACTION"]) == "DISPLAY"
        assert alarms[0].decoded("TRIGGER") == datetime.timedelta(days=-7)
        assert "DESCRIPTION" in alarms[0]
    assert len(uids) == len(events), "each event has a UID of its own"


if __name__ == "__main__":
    main(sys.argv[1])
