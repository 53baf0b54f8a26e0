# Capture layer on the X11 display of scripts/bench.sh; its windows belong to a helper process.
add_executable(capture_window_helper ${PROJECT_SOURCE_DIR}/tests/platform/X11WindowHelper.cpp)
target_link_libraries(capture_window_helper PRIVATE zova::build_flags zova::x11)

zova_bench(bench_capture ${CMAKE_CURRENT_SOURCE_DIR}/CaptureBench.cpp)
target_include_directories(bench_capture PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform)
target_link_libraries(bench_capture PRIVATE zova::engine zova::x11 Qt6::Widgets)
target_compile_definitions(bench_capture PRIVATE ZOVA_X11_HELPER="$<TARGET_FILE:capture_window_helper>")
add_dependencies(bench_capture capture_window_helper)
