"""tipsrad as a whole: rows per second through a pipe, peak resident memory,
time to the first question against a minimal C++ program, and heap
allocations for 1 row and for 100 000 rows (which must be equal).

Usage: end_to_end.py TIPSRAD FIRST_LINE_PEER
"""
import os
import re
import select
import statistics
import subprocess
import sys
import time

PROGRAM, PEER = sys.argv[1], sys.argv[2]
ROWS = 100_000


def rows_input(rows):
    return b"2\n1\nn\n" * (rows - 1) + b"2\n1\nq\n"


def rows_per_second():
    data = rows_input(ROWS)
    times = []
    for _ in range(5):
        start = time.perf_counter()
        done = subprocess.run([PROGRAM], input=data, stdout=subprocess.PIPE, check=True)
        times.append(time.perf_counter() - start)
        assert done.stdout.count(b"Tipsmatch 13: ") == ROWS
    return ROWS / statistics.median(times), statistics.median(times)


def peak_memory_kib():
    done = subprocess.run(["/usr/bin/time", "-v", PROGRAM], input=rows_input(ROWS),
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    return int(re.search(rb"Maximum resident set size \(kbytes\): (\d+)", done.stderr)[1])


def first_line_seconds(program, runs=200):
    """Median time from start to the first line on a pipe."""
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        seen = b""
        while b"\n" not in seen:
            select.select([process.stdout], [], [])
            chunk = os.read(process.stdout.fileno(), 4096)
            if not chunk:
                break
            seen += chunk
        times.append(time.perf_counter() - start)
        process.stdin.close()
        process.stdout.close()
        process.wait()
    return statistics.median(times)


def heap_allocations(rows):
    done = subprocess.run(["valgrind", PROGRAM], input=rows_input(rows),
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    found = re.search(rb"total heap usage: ([\d,]+) allocs", done.stderr)
    return int(found[1].replace(b",", b""))


def main():
    rate, seconds = rows_per_second()
    print(f"rows through a pipe:    {ROWS} rows in {seconds:.3f} s, {rate:,.0f} rows/s",
          "(median of 5)")
    print(f"peak resident memory:   {peak_memory_kib()} KiB for {ROWS} rows")
    ours, peer = first_line_seconds(PROGRAM), first_line_seconds(PEER)
    print(f"time to first question: {ours * 1e3:.2f} ms; minimal std::cout program "
          f"{peer * 1e3:.2f} ms; ratio {ours / peer:.2f} (medians of 200)")
    one, many = heap_allocations(1), heap_allocations(ROWS)
    print(f"heap allocations:       {one} for 1 row, {many} for {ROWS} rows "
          f"({'equal' if one == many else 'NOT EQUAL'})")
    return 0 if one == many else 1


if __name__ == "__main__":
    sys.exit(main())
