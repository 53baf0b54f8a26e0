# The recording path on the X11 display of scripts/bench.sh: a window of another
# process, clicked through XTest.
add_executable(recording_bench_target ${CMAKE_CURRENT_SOURCE_DIR}/RecordingTarget.cpp)
target_include_directories(recording_bench_target PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(recording_bench_target PRIVATE zova::build_flags Qt6::Widgets)

zova_bench(bench_recording ${CMAKE_CURRENT_SOURCE_DIR}/RecordingBench.cpp)
target_link_libraries(bench_recording PRIVATE zova::engine zova::x11 Qt6::Widgets)
target_compile_definitions(bench_recording PRIVATE ZOVA_RECORDING_TARGET="$<TARGET_FILE:recording_bench_target>")
add_dependencies(bench_recording recording_bench_target)
