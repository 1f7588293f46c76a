#!/usr/bin/env python3
"""Time per GetPersonalInformation call from Python, and of the bare binding.

    PYTHONPATH=build/bin bench/python_get_personal.py DATA_FOLDER [calls]

The binding's own cost is the difference to the same call made without
Python (bench's C++ read latency); here it is estimated against a call
that does no database work (GetGroupingLabel builds one string).
"""
import sys
import time

import lumoaccess


def per_call(fn, calls):
    start = time.perf_counter()
    for i in range(calls):
        fn(i)
    return (time.perf_counter() - start) / calls * 1e6


def main(folder, calls="20000"):
    calls = int(calls)
    person = lumoaccess.clsPidAccess()
    assert not person.Initialize("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder + "/Data/LumoBase.mdb")
    ids = 10
    read = per_call(lambda i: person.GetPersonalInformation(i % ids + 1), calls)
    trivial = per_call(lambda i: person.GetGroupingLabel(), calls)
    print(f"GetPersonalInformation from Python: {read:.2f} us/call; GetGroupingLabel: {trivial:.2f} us/call")


if __name__ == "__main__":
    main(*sys.argv[1:])
