# bench_devices: wall time of the device operations (configuration upload of
# 24 and 32 bands, MxL and EN programming, a 64 KiB device software upgrade)
# through the real dialogs and through brevant-cli's step loop, against
# kaltro-sim pacing at the line rate.
if(NOT BREVANT_GUI)
    return()
endif()
add_executable(bench_devices ${CMAKE_CURRENT_LIST_DIR}/bench_devices.cpp)
target_link_libraries(bench_devices PRIVATE brevant_dialogs brevant_cliterm brevant_sim brevant_wintest)
