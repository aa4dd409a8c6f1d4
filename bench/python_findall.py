# Benchmark helper: times Python's re.findall of the scraper's pattern on a page written by bench_search.
import re
import sys
import time

page = open(sys.argv[1], encoding="utf-8").read()
pattern = re.compile(r"href=[\"\'\s]?http://([^\s]+)(.*?)\b[\"\'\s]?(.*?)>(.*?)</a>", re.IGNORECASE)
times = []
for _ in range(21):
    start = time.perf_counter()
    matches = pattern.findall(page)
    times.append((time.perf_counter() - start) * 1000)
times.sort()
print(f"python {sys.version.split()[0]} re.findall: {times[len(times) // 2]:.3f} ms ({len(matches)} matches)")
