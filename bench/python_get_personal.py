#!/usr/bin/env python3
"""GetPersonalInformation from Python against the same call from C++.

    PYTHONPATH=build-release/bin python3 bench/python_get_personal.py \\
        DATABASE CXX_MEDIAN_US [calls]

Times each call on its own, as lumo_bench times the C++ call, on person
identifiers drawn at random (fixed seed) from the file's rows, and prints
the medians, their ratio and what the binding adds per call (the goal:
under 5 us). Exits 1 with a WARNING line when it adds more.
"""
import ctypes
import random
import sys
import time
import warnings

# lumo_bench timed the C++ call the way the suite's programs run, with
# SQLite's memory statistics off (engine/ProgramSettings.h); so does
# this process, before anything here starts SQLite, or the difference of
# the two figures would not be the binding's alone.
SQLITE_CONFIG_MEMSTATUS = 9
if ctypes.CDLL("libsqlite3.so.0").sqlite3_config(SQLITE_CONFIG_MEMSTATUS, ctypes.c_int(0)) != 0:
    sys.exit("SQLite was already in use; the figures would not compare")

import sqlite3  # noqa: E402  (after the setting above)

import lumoaccess  # noqa: E402

GOAL_US = 5.0
SEED = 20240611


def median(values):
    values = sorted(values)
    return values[len(values) // 2]


def median_per_call(call, arguments):
    clock = time.perf_counter_ns
    micros = []
    for argument in arguments:
        start = clock()
        call(argument)
        micros.append((clock() - start) / 1000)
    return median(micros)


def main(database, cxx_median, calls="20000"):
    cxx_median, calls = float(cxx_median), int(calls)
    with sqlite3.connect(f"file:{database}?mode=ro", uri=True) as db:
        pool = [row[0] for row in db.execute("SELECT PERSON_ID FROM T_PERSON")]
    picks = random.Random(SEED).choices(pool, k=calls)

    person = lumoaccess.clsPidAccess()
    if person.Initialize("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database):
        sys.exit(f"the library could not open {database}: {lumoaccess.errors()}")
    with warnings.catch_warnings():
        warnings.simplefilter("error", lumoaccess.ReportWarning)
        ours = median_per_call(person.GetPersonalInformation, picks)
        # The binding's own path with next to no work in the library: a
        # second view of its cost, less exposed to the machine's load than
        # a difference of two runs.
        bare = median_per_call(lambda _: person.GetGroupingLabel(), picks)
    added = ours - cxx_median
    print(f"\nGetPersonalInformation, {calls:,} calls     median")
    print(f"  from C++ (lumo_bench)            {cxx_median:8.1f} us")
    print(f"  from Python (lumoaccess)         {ours:8.1f} us")
    print(f"  ratio Python / C++               {ours / cxx_median:8.2f}")
    print(f"  the binding adds                 {added:8.1f} us   (goal: under {GOAL_US:.0f} us)")
    print(f"  GetGroupingLabel from Python     {bare:8.1f} us   (the binding's path alone)")
    if added >= GOAL_US:
        print(f"  WARNING: the binding adds {added:.1f} us per call")
        return 1
    return 0


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
