zova_bench(bench_recording ${CMAKE_CURRENT_SOURCE_DIR}/RecordingBench.cpp)
target_link_libraries(bench_recording PRIVATE zova::engine Qt6::Widgets)
