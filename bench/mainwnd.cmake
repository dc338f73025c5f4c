# bench_mainwnd: times the making of the main window with 32 rows and the
# rebuild after a change from a 24-UB to a 32-UB model; with --shot PATH it
# also saves a picture of the main window.
if(NOT BREVANT_GUI)
    return()
endif()
add_executable(bench_mainwnd ${CMAKE_CURRENT_LIST_DIR}/bench_mainwnd.cpp)
target_link_libraries(bench_mainwnd PRIVATE brevant_ui brevant_wintest)
