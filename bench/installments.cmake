# Timings of the installment plan at its largest (32767 installments): the arithmetic, every row's
# texts, and the calculator filling and painting its schedule list.
brasko_bench(bench_plan SOURCES bench_plan.cpp benchutil.h GUI)
