# Timings of the installment plan: the arithmetic of a 32767-installment plan and filling the
# calculator's schedule list with it. Prints the times; run by hand (bin/bench_plan).
add_executable(bench_plan ${CMAKE_CURRENT_LIST_DIR}/bench_plan.cpp)
target_compile_features(bench_plan PRIVATE cxx_std_20)
target_link_libraries(bench_plan PRIVATE brasko_ui brasko_common)
