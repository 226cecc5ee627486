# Printing the offer: from the click on "Print" to the job handed to CUPS (needs a default printer).
brasko_bench(bench_print SOURCES bench_print.cpp benchdb.h benchutil.h GUI)
