# bench_production: brevant-cli production against 1, 2 and 4 kaltro-sim
# processes pacing at the line rate, each device swapped the moment its
# record is in the log; the period per device against its least time, the
# devices an hour and the CPU time per device. Figures in docs/PERFORMANCE.md.
add_executable(bench_production ${CMAKE_CURRENT_LIST_DIR}/bench_production.cpp)
target_link_libraries(bench_production PRIVATE brevant_core)
target_compile_definitions(bench_production PRIVATE BREVANT_CLI="$<TARGET_FILE:brevant-cli>"
                                                    KALTRO_SIM="$<TARGET_FILE:kaltro-sim>")
add_dependencies(bench_production brevant-cli kaltro-sim)
