# bench_xmodem: a 64 KiB image sent by XModem to kaltro-sim pacing at 115200
# baud, timed by phase; the payload throughput as a share of the line rate.
# A timing program (each transfer takes seconds); figures in docs/PERFORMANCE.md.
add_executable(bench_xmodem ${CMAKE_CURRENT_LIST_DIR}/bench_xmodem.cpp)
target_link_libraries(bench_xmodem PRIVATE brevant_sim brevant_link)
